#include "dialogue/frames.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace dialogue {
namespace {

using namespace std::string_literals;

struct FrameCase {
    const char* name;
    std::string composed;
    std::string expected;
};

void PrintTo(const FrameCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameTest : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, IsByteExact) {
    EXPECT_EQ(GetParam().composed, GetParam().expected);
}

// The window's start-up values: choice boxes that show a text but have no
// item selected contribute -1.
PollingRow StartupPollingRow() {
    return {-1, "01", "0", 0, "000001", "00000"};
}
const std::string kStartupCommand = "0103000000044409";

INSTANTIATE_TEST_SUITE_P(
    Startup, FrameTest,
    testing::Values(
        FrameCase{"CommunicationQuery", CommunicationQueryFrame(), "999999#VAR#"},
        FrameCase{"ReadParameters", ReadParametersFrame(), "PPPPPP#CHEACK1#"},
        FrameCase{"ReadData", ReadDataFrame(), "PPPPPP#STATUS#"},
        FrameCase{"CommandTextQuery1", CommandTextQueryFrame(1), "PPPPPP#COMR01#"},
        FrameCase{"CommandTextQuery2", CommandTextQueryFrame(2), "PPPPPP#COMR02#"},
        FrameCase{"CommandParseQuery1", CommandParseQueryFrame(1), "PPPPPP#COMP01#"},
        FrameCase{"CommandParseQuery2", CommandParseQueryFrame(2), "PPPPPP#COMP02#"},
        FrameCase{"LineSettings", LineSettingsFrame(3, 0), "TEKVAR#RS485A:3,0#"},
        FrameCase{"Interval", IntervalFrame("10"), "TEKVAR#JTM:10#"},
        FrameCase{"Address", AddressFrame("001"), "TEKVAR#ADR:001#"},
        FrameCase{"OutputRange1", OutputRangeFrame(1, "0.000", "100.0"),
                  "TEKVAR#DOTA1:0.000,100.0#"},
        FrameCase{"OutputRange2", OutputRangeFrame(2, "0.000", "100.0"),
                  "TEKVAR#DOTA2:0.000,100.0#"},
        FrameCase{"OutputRange3", OutputRangeFrame(3, "0.000", "100.0"),
                  "TEKVAR#DOTA3:0.000,100.0#"},
        FrameCase{"Polling1", PollingFrame(1, StartupPollingRow()),
                  "TEKVAR#ZDAD01:-1,01,0,00,000001,00000#"},
        FrameCase{"Polling2", PollingFrame(2, StartupPollingRow()),
                  "TEKVAR#ZDAD02:-1,01,0,00,000001,00000#"},
        FrameCase{"Polling3", PollingFrame(3, StartupPollingRow()),
                  "TEKVAR#ZDAD03:-1,01,0,00,000001,00000#"},
        FrameCase{"CommandWrite1", CommandWriteFrame(1, -1, kStartupCommand),
                  "TEKVAR#COMW1:-1,160103000000044409#"},
        FrameCase{"CommandWrite2", CommandWriteFrame(2, -1, kStartupCommand),
                  "TEKVAR#COMW2:-1,160103000000044409#"},
        FrameCase{"CommandParse1", CommandParseFrame(1, "01", "03", "00"), "TEKVAR#COMP01:010300#"},
        FrameCase{"CommandParse2", CommandParseFrame(2, "01", "03", "00"), "TEKVAR#COMP02:010300#"},
        FrameCase{"TestMode", TestModeFrame(20), "TEKVAR#IOA:20#"}),
    [](const auto& info) { return std::string(info.param.name); });

PollingRow RowWith(int commandIndex, int formatIndex) {
    PollingRow row = StartupPollingRow();
    row.commandIndex = commandIndex;
    row.formatIndex = formatIndex;
    return row;
}

INSTANTIATE_TEST_SUITE_P(
    AfterChoosing, FrameTest,
    testing::Values(
        FrameCase{"CloseChosen", PollingFrame(1, RowWith(0, 0)),
                  "TEKVAR#ZDAD01:0,01,0,00,000001,00000#"},
        FrameCase{"Format9", PollingFrame(2, RowWith(4, 9)),
                  "TEKVAR#ZDAD02:4,01,0,09,000001,00000#"},
        FrameCase{"Format10", PollingFrame(2, RowWith(1, 10)),
                  "TEKVAR#ZDAD02:1,01,0,10,000001,00000#"},
        FrameCase{"Format22", PollingFrame(3, RowWith(2, 22)),
                  "TEKVAR#ZDAD03:2,01,0,22,000001,00000#"},
        FrameCase{"FormatNone", PollingFrame(3, RowWith(2, -1)),
                  "TEKVAR#ZDAD03:2,01,0,0-1,000001,00000#"},
        FrameCase{"OpenChosen", CommandWriteFrame(1, 1, kStartupCommand),
                  "TEKVAR#COMW1:1,160103000000044409#"},
        FrameCase{"CommandEmpty", CommandWriteFrame(2, 0, ""), "TEKVAR#COMW2:0,00#"},
        FrameCase{"Command8", CommandWriteFrame(1, 1, "01020304"), "TEKVAR#COMW1:1,0801020304#"},
        FrameCase{"Command10", CommandWriteFrame(1, 1, "0102030405"),
                  "TEKVAR#COMW1:1,100102030405#"},
        FrameCase{"Command100", CommandWriteFrame(1, 0, std::string(100, 'A')),
                  "TEKVAR#COMW1:0,100" + std::string(100, 'A') + "#"},
        FrameCase{"Command120", CommandWriteFrame(2, 1, std::string(120, 'F')),
                  "TEKVAR#COMW2:1,120" + std::string(120, 'F') + "#"},
        FrameCase{"LineSettingsNone", LineSettingsFrame(-1, 2), "TEKVAR#RS485A:-1,2#"},
        FrameCase{"IntervalEmpty", IntervalFrame(""), "TEKVAR#JTM:#"},
        // Separators typed into fields go out unchanged; nothing is escaped.
        FrameCase{"CommaInRange", OutputRangeFrame(2, "1,5", "#9"), "TEKVAR#DOTA2:1,5,#9#"},
        FrameCase{"HashInAddress", AddressFrame("0#1"), "TEKVAR#ADR:0#1#"},
        FrameCase{"HashInParse", CommandParseFrame(1, "#", ",", ""), "TEKVAR#COMP01:#,#"},
        FrameCase{"SeparatorsInPolling", PollingFrame(1, {3, "1,2", "#", 5, ",", "##"}),
                  "TEKVAR#ZDAD01:3,1,2,#,05,,,###"},
        FrameCase{"TestMode4", TestModeFrame(4), "TEKVAR#IOA:04#"},
        FrameCase{"TestMode9", TestModeFrame(9), "TEKVAR#IOA:09#"},
        FrameCase{"TestMode10", TestModeFrame(10), "TEKVAR#IOA:10#"},
        FrameCase{"TestMode150", TestModeFrame(150), "TEKVAR#IOA:150#"},
        FrameCase{"TestMode0", TestModeFrame(0), "TEKVAR#IOA:00#"},
        FrameCase{"TestModeNegative", TestModeFrame(-3), "TEKVAR#IOA:0-3#"},
        FrameCase{"TestModeMinimum", TestModeFrame(INT32_MIN), "TEKVAR#IOA:0-2147483648#"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FramePieces, TwoDigitIndex) {
    const std::vector<std::pair<int, std::string>> cases = {
        {-1, "0-1"}, {0, "00"}, {9, "09"}, {10, "10"}, {22, "22"}, {123, "123"}, {-12, "0-12"}};
    for (const auto& [index, expected] : cases) EXPECT_EQ(TwoDigitIndex(index), expected) << index;
}

TEST(FramePieces, LengthDigits) {
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {0, "00"},  {8, "08"},    {9, "09"},    {10, "10"},
        {16, "16"}, {100, "100"}, {120, "120"}, {65535, "65535"}};
    for (const auto& [n, expected] : cases) EXPECT_EQ(LengthDigits(n), expected) << n;
}

TEST(FramePieces, IndexText) {
    EXPECT_EQ(IndexText(-1), "-1");
    EXPECT_EQ(IndexText(0), "0");
    EXPECT_EQ(IndexText(22), "22");
}

// Every byte value, NUL included, reaches the frame as that byte.
TEST(FrameBytes, AllByteValuesPassUnchanged) {
    std::string every;
    for (int code = 0; code < 256; ++code) every += static_cast<char>(code);
    EXPECT_EQ(IntervalFrame(every), "TEKVAR#JTM:" + every + "#");
    const std::string frame = CommandWriteFrame(1, 1, every);
    EXPECT_EQ(frame, "TEKVAR#COMW1:1,256" + every + "#");
    EXPECT_EQ(frame.size(), 13u + 2u + 3u + 256u + 1u);
    EXPECT_EQ(OutputRangeFrame(1, "\0"s, "\xff"), "TEKVAR#DOTA1:\0,\xff#"s);
}

TEST(FrameChecks, EvenLength) {
    EXPECT_TRUE(IsEvenLength(""));
    EXPECT_TRUE(IsEvenLength("0102030405"));
    EXPECT_FALSE(IsEvenLength("010203040"));
    EXPECT_FALSE(IsEvenLength("1"));
}

TEST(FrameChecks, OneSendHoldsAtMost65535Bytes) {
    // The largest command whose frame still fits: prefix, index, length digits, "#".
    const std::string fitting(65535 - 13 - 2 - 5 - 1, '0');
    const std::string fittingFrame = CommandWriteFrame(1, 1, fitting);
    EXPECT_EQ(fittingFrame.size(), 65535u);
    EXPECT_TRUE(FitsOneSend(fittingFrame));
    EXPECT_FALSE(FitsOneSend(CommandWriteFrame(1, 1, fitting + "00")));
    EXPECT_TRUE(FitsOneSend(""));
}

TEST(FrameChecks, RowsAndSlotsThatDoNotExistAreRefused) {
    EXPECT_THROW(OutputRangeFrame(0, "", ""), std::out_of_range);
    EXPECT_THROW(OutputRangeFrame(4, "", ""), std::out_of_range);
    EXPECT_THROW(PollingFrame(4, {}), std::out_of_range);
    EXPECT_THROW(CommandWriteFrame(3, 0, ""), std::out_of_range);
    EXPECT_THROW(CommandParseFrame(0, "", "", ""), std::out_of_range);
    EXPECT_THROW(CommandTextQueryFrame(3), std::out_of_range);
    EXPECT_THROW(CommandParseQueryFrame(-1), std::out_of_range);
}

}  // namespace
}  // namespace dialogue
