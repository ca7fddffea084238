// The in-band error marking of a real UART cannot be produced on a pty, so
// the unescaping and the telling apart of error kinds are checked here
// byte for byte.
#include "seriallink/input_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "seriallink/tcomm.h"

namespace seriallink {
namespace {

struct DecodeCase {
    const char* what;
    InputOptions options;
    std::vector<std::string> reads;  // consecutive reads from the driver
    std::string data;
    unsigned breaks;
    unsigned markedBytes;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesTheBytesThatWereSent) {
    const DecodeCase& c = GetParam();
    InputDecoder decoder;
    MarkTally tally;
    std::string data;
    for (std::string read : c.reads) {
        const std::size_t n = decoder.Decode(reinterpret_cast<unsigned char*>(read.data()),
                                             read.size(), c.options, tally);
        data += read.substr(0, n);
    }
    EXPECT_EQ(data, c.data);
    EXPECT_EQ(tally.breaks, c.breaks);
    EXPECT_EQ(tally.markedBytes, c.markedBytes);
}

using S = std::string;
constexpr InputOptions kPlain{false, false, 0, false};
constexpr InputOptions kMarked{true, false, 0, false};
constexpr InputOptions kMarkedReplace{true, true, '?', false};
constexpr InputOptions kPlainNoNulls{false, false, 0, true};
constexpr InputOptions kMarkedNoNulls{true, false, 0, true};

INSTANTIATE_TEST_SUITE_P(
    Markings, DecodeTest,
    ::testing::Values(
        DecodeCase{
            "unmarked_passes_everything", kPlain, {S("a\xff\0\0b", 5)}, S("a\xff\0\0b", 5), 0, 0},
        DecodeCase{
            "doubled_ff_is_one_data_byte", kMarked, {S("\xff\xff\xff\xff")}, S("\xff\xff"), 0, 0},
        DecodeCase{"break_gives_no_byte", kMarked, {S("a\xff\0\0b", 5)}, "ab", 1, 0},
        DecodeCase{"marked_byte_is_kept", kMarked, {S("a\xff\0Xb", 5)}, "aXb", 0, 1},
        DecodeCase{"marked_byte_is_replaced", kMarkedReplace, {S("a\xff\0Xb", 5)}, "a?b", 0, 1},
        DecodeCase{"marked_ff_byte", kMarked, {S("\xff\0\xff", 3)}, S("\xff"), 0, 1},
        DecodeCase{"literal_ff_not_replaced", kMarkedReplace, {S("\xff\xff")}, S("\xff"), 0, 0},
        DecodeCase{
            "escape_cut_after_ff", kMarked, {S("a\xff"), S("\xff") + "b"}, S("a\xff") + "b", 0, 0},
        DecodeCase{"marking_cut_twice", kMarked, {S("\xff"), S("\0", 1), S("Z")}, "Z", 0, 1},
        DecodeCase{"break_cut_before_its_zero", kMarked, {S("\xff\0", 2), S("\0c", 2)}, "c", 1, 0},
        DecodeCase{"nulls_dropped", kPlainNoNulls, {S("\0a\0\0b\0", 6)}, "ab", 0, 0},
        DecodeCase{"nulls_dropped_breaks_still_counted",
                   kMarkedNoNulls,
                   {S("\0a\xff\0\0\xff\xff", 7)},
                   S("a\xff"),
                   1,
                   0},
        DecodeCase{"other_pair_kept_whole",
                   kMarked,
                   {S("\xff"
                      "A")},
                   S("\xff"
                     "A"),
                   0,
                   0}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return info.param.what; });

struct FlagsCase {
    const char* what;
    bool haveCounters;
    tty::Counters delta;
    MarkTally marks;
    bool parityCheck;
    std::uint32_t flags;
};

tty::Counters Delta(int frame, int overrun, int parity, int brk, int bufOverrun) {
    tty::Counters c;
    c.frame = frame;
    c.overrun = overrun;
    c.parity = parity;
    c.brk = brk;
    c.bufOverrun = bufOverrun;
    return c;
}

class LineErrorFlagsTest : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(LineErrorFlagsTest, KindsAreToldApart) {
    const FlagsCase& c = GetParam();
    EXPECT_EQ(LineErrorFlags(c.haveCounters ? &c.delta : nullptr, c.marks, c.parityCheck), c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LineErrorFlagsTest,
    ::testing::Values(
        FlagsCase{"nothing", true, {}, {}, true, 0u},
        FlagsCase{"overrun_without_marking", true, Delta(0, 1, 0, 0, 0), {}, false, CE_OVERRUN},
        FlagsCase{"queue_overflow", true, Delta(0, 0, 0, 0, 2), {}, false, CE_RXOVER},
        FlagsCase{"parity_checked", true, Delta(0, 0, 1, 0, 0), {0, 1}, true, CE_RXPARITY},
        FlagsCase{"parity_unchecked_is_no_error", true, Delta(0, 0, 1, 0, 0), {0, 1}, false, 0u},
        FlagsCase{"framing", true, Delta(3, 0, 0, 0, 0), {0, 3}, true, CE_FRAME},
        FlagsCase{"break", true, Delta(0, 0, 0, 1, 0), {1, 0}, false, CE_BREAK},
        FlagsCase{"all_at_once",
                  true,
                  Delta(1, 1, 1, 1, 1),
                  {1, 2},
                  true,
                  CE_RXOVER | CE_OVERRUN | CE_RXPARITY | CE_FRAME | CE_BREAK},
        FlagsCase{"counters_lagging_fall_back_to_marks", true, {}, {1, 0}, false, CE_BREAK},
        FlagsCase{"no_counters_break", false, {}, {1, 0}, true, CE_BREAK},
        FlagsCase{"no_counters_marked_byte_parity_checked", false, {}, {0, 1}, true, CE_RXPARITY},
        FlagsCase{"no_counters_marked_byte_unchecked", false, {}, {0, 1}, false, CE_FRAME}),
    [](const ::testing::TestParamInfo<FlagsCase>& info) { return info.param.what; });

}  // namespace
}  // namespace seriallink
