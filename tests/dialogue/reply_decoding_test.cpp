#include "dialogue/reply_decoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace dialogue {

void PrintTo(const ControlUpdate& u, std::ostream* os) {
    switch (u.kind) {
        case ControlUpdate::Kind::Text:
            *os << u.control << ".Text=\"" << u.text << "\"";
            break;
        case ControlUpdate::Kind::ItemIndex:
            *os << u.control << ".ItemIndex=" << u.index;
            break;
        case ControlUpdate::Kind::Visible:
            *os << u.control << ".Visible=" << (u.visible ? "true" : "false");
            break;
        case ControlUpdate::Kind::Caption:
            *os << u.control << ".Caption=\"" << u.text << "\"";
            break;
    }
}

namespace {

using Updates = std::vector<ControlUpdate>;
using Decoder = std::function<DecodeOutcome(std::string_view)>;

std::string IntegerError(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

Updates Join(std::initializer_list<Updates> parts) {
    Updates all;
    for (const Updates& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Updates Layout(bool full) {
    return {VisibleUpdate("GroupBox7", full),
            VisibleUpdate("GroupBox5", full),
            VisibleUpdate("GroupBox3", full),
            CaptionUpdate("Label2", full ? "OUT1:" : "ADDR:00"),
            CaptionUpdate("Label3", full ? "OUT2:" : "ADDR:02"),
            CaptionUpdate("Label5", full ? "OUT3:" : "ADDR:04")};
}

Updates Slot(int n, int command, const char* start, const char* length, int format) {
    const std::string k = std::to_string(n);
    return {IndexUpdate("MAD" + k + "USE", command), TextUpdate("MAD" + k + "MADR", start),
            TextUpdate("MAD" + k + "DADR", length),  IndexUpdate("MAD" + k + "XIN", format),
            TextUpdate("MAD" + k + "XS", "000001"),  TextUpdate("DataQY" + k, "00000")};
}

// The first count updates of one polling slot block.
Updates SlotFirst(std::size_t count, int n, int command, const char* start, const char* length,
                  int format) {
    Updates all = Slot(n, command, start, length, format);
    all.resize(count);
    return all;
}

Updates Range(int row, const char* at4mA, const char* at20mA) {
    const std::string k = std::to_string(row);
    return {TextUpdate("DAO" + k + "H", at4mA), TextUpdate("DAO" + k + "L", at20mA)};
}

const std::vector<std::string> kWorkedBlocks = {"BOAT:3,0",
                                                "ADR:001",
                                                "JTM:010",
                                                "ZDAD01:1,001,2,00,000001,00000",
                                                "ZDAD02:0,002,2,03,000001,00000",
                                                "ZDAD03:0,003,2,08,000001,00000",
                                                "DOAT1:0.000,100.0",
                                                "DOAT2:0.000,100.0",
                                                "DOAT3:0.000,100.0"};

std::string JoinBlocks(std::vector<std::string> blocks, bool reverse, const std::string& gap) {
    if (reverse) std::reverse(blocks.begin(), blocks.end());
    std::string text;
    for (const std::string& block : blocks) text += (text.empty() ? "" : gap) + block;
    return text;
}

const std::string kWorkedExample = JoinBlocks(kWorkedBlocks, false, " ");

Updates WorkedExampleUpdates() {
    return Join({{IndexUpdate("MR485BT", 3), IndexUpdate("MR485JN", 0), TextUpdate("ADRM", "001"),
                  TextUpdate("JTME", "010")},
                 Layout(true),
                 Slot(1, 1, "001", "2", 0),
                 Slot(2, 0, "002", "2", 3),
                 Slot(3, 0, "003", "2", 8),
                 Range(1, "0.000", "100.0"),
                 Range(2, "0.000", "100.0"),
                 Range(3, "0.000", "100.0")});
}

// The worked example up to and including the first n updates.
Updates WorkedExampleFirst(std::size_t n) {
    Updates all = WorkedExampleUpdates();
    all.resize(n);
    return all;
}

struct DecodeCase {
    const char* name;
    Decoder decode;
    std::string text;
    Updates updates;
    std::optional<std::string> error;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesTheUpdatesInOrderAndStopsAtTheError) {
    const DecodeCase& c = GetParam();
    const DecodeOutcome outcome = c.decode(c.text);
    EXPECT_EQ(outcome.updates, c.updates);
    EXPECT_EQ(outcome.error, c.error);
}

const Decoder kParameters = DecodeParameters;
const Decoder kCommandText = DecodeCommandText;
const Decoder kCommandParse = DecodeCommandParse;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, DecodeTest,
    testing::Values(
        DecodeCase{"WorkedExample", kParameters, kWorkedExample, WorkedExampleUpdates(), {}},
        DecodeCase{"ReverseOrder",
                   kParameters,
                   JoinBlocks(kWorkedBlocks, true, " "),
                   WorkedExampleUpdates(),
                   {}},
        DecodeCase{"NoGapsAndNoise",
                   kParameters,
                   "\r\nOK>" + JoinBlocks(kWorkedBlocks, false, "") + ";\r\n",
                   WorkedExampleUpdates(),
                   {}},
        DecodeCase{"Empty", kParameters, "", {}, {}},
        DecodeCase{"OnlyAddress", kParameters, "ADR:123", {TextUpdate("ADRM", "123")}, {}},
        DecodeCase{"RepeatedKeyFirstCounts",
                   kParameters,
                   "ADR:123 ADR:456",
                   {TextUpdate("ADRM", "123")},
                   {}},
        DecodeCase{"LowerCaseKeys",
                   kParameters,
                   "boat:3,0 adr:001 jtm:010 zdad01:1,001,2,00,000001,00000 doat1:0.000,100.0",
                   {},
                   {}},
        DecodeCase{"DotaIsNotDoat", kParameters, "DOTA1:1.000,200.0", {}, {}},
        DecodeCase{"DotaBesideDoat",
                   kParameters,
                   "DOTA1:1.000,200.0 DOAT2:2.000,300.0",
                   Range(2, "2.000", "300.0"),
                   {}},
        DecodeCase{"IntervalZeroReduces",
                   kParameters,
                   "JTM:000",
                   Join({{TextUpdate("JTME", "000")}, Layout(false)}),
                   {}},
        DecodeCase{"IntervalOneIsFull",
                   kParameters,
                   "JTM:001",
                   Join({{TextUpdate("JTME", "001")}, Layout(true)}),
                   {}},
        DecodeCase{"IntervalBlankZeroReduces",
                   kParameters,
                   "JTM: 00",
                   Join({{TextUpdate("JTME", " 00")}, Layout(false)}),
                   {}},
        DecodeCase{"IntervalNegativeZeroReduces",
                   kParameters,
                   "JTM:-00",
                   Join({{TextUpdate("JTME", "-00")}, Layout(false)}),
                   {}},
        DecodeCase{"TextFieldsKeepEveryByte",
                   kParameters,
                   "ADR:\xff\x01\r DOAT1: 1e5 ,\t-.-.",
                   {TextUpdate("ADRM", "\xff\x01\r"), TextUpdate("DAO1H", " 1e5 "),
                    TextUpdate("DAO1L", "\t-.-.")},
                   {}},
        DecodeCase{"IndexOutsideListIsStillSet",
                   kParameters,
                   "BOAT:5,7 ZDAD02:9,1,2,3,99,...",
                   {IndexUpdate("MR485BT", 5), IndexUpdate("MR485JN", 7), IndexUpdate("MAD2USE", 9),
                    TextUpdate("MAD2MADR", "1,2"), TextUpdate("MAD2DADR", "3"),
                    IndexUpdate("MAD2XIN", 99)},
                   {}},
        DecodeCase{
            "IndexSignAlone", kParameters, "ZDAD01:+,001,2,07,000001,00000", {}, IntegerError("+")},
        DecodeCase{"IndexWithBlank",
                   kParameters,
                   "ZDAD01:1,001,2, 7,000001,00000",
                   {IndexUpdate("MAD1USE", 1), TextUpdate("MAD1MADR", "001"),
                    TextUpdate("MAD1DADR", "2"), IndexUpdate("MAD1XIN", 7),
                    TextUpdate("MAD1XS", "000001"), TextUpdate("DataQY1", "00000")},
                   {}},
        DecodeCase{"IndexTrailingBlankRefused", kParameters, "ZDAD01:1,001,2,7 ,000001,00000",
                   SlotFirst(3, 1, 1, "001", "2", 0), IntegerError("7 ")},
        DecodeCase{"FormatWithBlankAndMinus",
                   kParameters,
                   "ZDAD03:4,001,2,-1,000001,00000",
                   {IndexUpdate("MAD3USE", 4), TextUpdate("MAD3MADR", "001"),
                    TextUpdate("MAD3DADR", "2"), IndexUpdate("MAD3XIN", -1),
                    TextUpdate("MAD3XS", "000001"), TextUpdate("DataQY3", "00000")},
                   {}},
        // Conversion failures: what came before stands, nothing after is decoded.
        DecodeCase{"BaudLetter",
                   kParameters,
                   Replace(kWorkedExample, "BOAT:3", "BOAT:x"),
                   {},
                   IntegerError("x")},
        DecodeCase{"ParityBlank", kParameters, Replace(kWorkedExample, "BOAT:3,0", "BOAT:3, "),
                   WorkedExampleFirst(1), IntegerError(" ")},
        DecodeCase{"IntervalNotANumber", kParameters, Replace(kWorkedExample, "JTM:010", "JTM:1 0"),
                   Join({WorkedExampleFirst(3), {TextUpdate("JTME", "1 0")}}), IntegerError("1 0")},
        DecodeCase{"SecondSlotFormat", kParameters,
                   Replace(kWorkedExample, "0,002,2,03", "0,002,2,0a"),
                   Join({WorkedExampleFirst(4 + 6 + 6), SlotFirst(3, 2, 0, "002", "2", 3)}),
                   IntegerError("0a")},
        DecodeCase{"ThirdSlotCommand", kParameters, Replace(kWorkedExample, "ZDAD03:0", "ZDAD03:#"),
                   WorkedExampleFirst(4 + 6 + 6 + 6), IntegerError("#")},
        // Cut short: the block's fields inside the text are set, the rest of
        // that block is not, the other blocks decode as usual.
        DecodeCase{"CutAfterKey", kParameters, "BOAT:", {}, {}},
        DecodeCase{"CutAfterBaud", kParameters, "BOAT:3,", {IndexUpdate("MR485BT", 3)}, {}},
        DecodeCase{"CutAddress", kParameters, "ADR:00", {}, {}},
        DecodeCase{"CutIntervalNoModeRule", kParameters, "JTM:00", {}, {}},
        DecodeCase{"CutSlotCoefficient",
                   kParameters,
                   "ADR:001 DOAT3:1.000,200.0 ZDAD01:1,001,2,00,00000",
                   Join({{TextUpdate("ADRM", "001"), IndexUpdate("MAD1USE", 1),
                          TextUpdate("MAD1MADR", "001"), TextUpdate("MAD1DADR", "2"),
                          IndexUpdate("MAD1XIN", 0)},
                         Range(3, "1.000", "200.0")}),
                   {}},
        DecodeCase{"CutSlotMigration",
                   kParameters,
                   "ZDAD02:1,001,2,00,000001,0000",
                   SlotFirst(5, 2, 1, "001", "2", 0),
                   {}},
        DecodeCase{"CutRange", kParameters, "DOAT1:0.000,100.", {TextUpdate("DAO1H", "0.000")}, {}},
        DecodeCase{"KeyAtVeryEnd", kParameters, "xxDOAT1:", {}, {}},
        DecodeCase{"WorkedExampleCutInLastBlock",
                   kParameters,
                   kWorkedExample.substr(0, kWorkedExample.size() - 1),
                   WorkedExampleFirst(WorkedExampleUpdates().size() - 1),
                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CommandText, DecodeTest,
    testing::Values(
        DecodeCase{"WorkedExample",
                   kCommandText,
                   "COMR1:1,08,0103000000044409",
                   {IndexUpdate("COMAD1", 1), TextUpdate("COMDDATA1", "0103000000044409")},
                   {}},
        DecodeCase{"LengthZero",
                   kCommandText,
                   "COMR1:1,00,",
                   {IndexUpdate("COMAD1", 1), TextUpdate("COMDDATA1", "")},
                   {}},
        DecodeCase{"LengthNegativeAtEnd",
                   kCommandText,
                   "COMR2:0,-1",
                   {IndexUpdate("COMAD2", 0), TextUpdate("COMDDATA2", "")},
                   {}},
        DecodeCase{"LengthWithBlank",
                   kCommandText,
                   "COMR1:0, 2,ABCDEF",
                   {IndexUpdate("COMAD1", 0), TextUpdate("COMDDATA1", "ABCD")},
                   {}},
        DecodeCase{"LengthBeyondText",
                   kCommandText,
                   "COMR1:1,08,010300000004440",
                   {IndexUpdate("COMAD1", 1)},
                   {}},
        DecodeCase{
            "LengthFarBeyondText", kCommandText, "COMR2:1,99,01", {IndexUpdate("COMAD2", 1)}, {}},
        DecodeCase{"CutInLength", kCommandText, "COMR1:1,0", {IndexUpdate("COMAD1", 1)}, {}},
        DecodeCase{"CutAfterKey", kCommandText, "COMR1:", {}, {}},
        DecodeCase{"BothSlotsReverseOrder",
                   kCommandText,
                   "COMR2:0,01,AB COMR1:1,02,0102",
                   {IndexUpdate("COMAD1", 1), TextUpdate("COMDDATA1", "0102"),
                    IndexUpdate("COMAD2", 0), TextUpdate("COMDDATA2", "AB")},
                   {}},
        DecodeCase{"QueryKeywordIsNotAKey", kCommandText, "COMR01:1,01,AB", {}, {}},
        DecodeCase{"LowerCase", kCommandText, "comr1:1,01,AB", {}, {}},
        DecodeCase{
            "EnableLetter", kCommandText, "COMR1:x,01,AB COMR2:1,00,", {}, IntegerError("x")},
        DecodeCase{"LengthLetterStopsBothSlots",
                   kCommandText,
                   "COMR1:1,8x,AB COMR2:1,00,",
                   {IndexUpdate("COMAD1", 1)},
                   IntegerError("8x")},
        DecodeCase{"SecondSlotFailureKeepsFirst",
                   kCommandText,
                   "COMR1:1,01,AB COMR2:?,00,",
                   {IndexUpdate("COMAD1", 1), TextUpdate("COMDDATA1", "AB")},
                   IntegerError("?")},
        DecodeCase{"ParameterKeysIgnored", kCommandText, kWorkedExample, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CommandParse, DecodeTest,
    testing::Values(DecodeCase{"WorkedExample",
                               kCommandParse,
                               "COMP01:010300",
                               {TextUpdate("ACOMBY1", "01"), TextUpdate("ACOMBY2", "03"),
                                TextUpdate("ACOMBY3", "00")},
                               {}},
                    DecodeCase{"BothSlotsReverseOrder",
                               kCommandParse,
                               "COMP02:AABBCC\r\nCOMP01:010300",
                               {TextUpdate("ACOMBY1", "01"), TextUpdate("ACOMBY2", "03"),
                                TextUpdate("ACOMBY3", "00"), TextUpdate("BCOMBY1", "AA"),
                                TextUpdate("BCOMBY2", "BB"), TextUpdate("BCOMBY3", "CC")},
                               {}},
                    DecodeCase{"AnyCharactersAreText",
                               kCommandParse,
                               "COMP02:x y#z!",
                               {TextUpdate("BCOMBY1", "x "), TextUpdate("BCOMBY2", "y#"),
                                TextUpdate("BCOMBY3", "z!")},
                               {}},
                    DecodeCase{"CutInThirdByte",
                               kCommandParse,
                               "COMP01:01030",
                               {TextUpdate("ACOMBY1", "01"), TextUpdate("ACOMBY2", "03")},
                               {}},
                    DecodeCase{"CutInFirstByte", kCommandParse, "COMP02:0", {}, {}},
                    // Purely positional: whatever stands at the offsets is taken.
                    DecodeCase{"NextKeyInsideFields",
                               kCommandParse,
                               "COMP01:0 COMP02:",
                               {TextUpdate("ACOMBY1", "0 "), TextUpdate("ACOMBY2", "CO"),
                                TextUpdate("ACOMBY3", "MP")},
                               {}},
                    DecodeCase{"OneDigitKeyIsNotAKey", kCommandParse, "COMP1:010300", {}, {}},
                    DecodeCase{"RepeatedKeyFirstCounts",
                               kCommandParse,
                               "COMP01:111111 COMP01:222222",
                               {TextUpdate("ACOMBY1", "11"), TextUpdate("ACOMBY2", "11"),
                                TextUpdate("ACOMBY3", "11")},
                               {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindKey, FirstFullOccurrenceOnly) {
    EXPECT_EQ(FindKey("ADR:1 ADR:2", "ADR:"), 0u);
    EXPECT_EQ(FindKey("xADR:ADR:", "ADR:"), 1u);
    EXPECT_EQ(FindKey("xxADR", "ADR:"), std::string_view::npos);
    EXPECT_EQ(FindKey("ADR", "ADR:"), std::string_view::npos);
    EXPECT_EQ(FindKey("", "ADR:"), std::string_view::npos);
    EXPECT_EQ(FindKey("adr:", "ADR:"), std::string_view::npos);
    EXPECT_EQ(FindKey("AADR:", "ADR:"), 1u);
}

// Every decoder reads only inside the text: decoding each prefix of a full
// reply, as a cut-short chunk would give it, yields a prefix of the full
// reply's updates per block and never an error.
TEST(CutShortReplies, EveryPrefixDecodesToSetFieldsOnly) {
    const std::vector<std::pair<Decoder, std::string>> replies = {
        {kParameters, kWorkedExample},
        {kCommandText, "COMR1:1,08,0103000000044409 COMR2:0,02,ABCD"},
        {kCommandParse, "COMP01:010300 COMP02:AABBCC"}};
    for (const auto& [decode, full] : replies) {
        const Updates all = decode(full).updates;
        for (std::size_t n = 0; n <= full.size(); ++n) {
            // A copy exactly n bytes long, so a read past it is a heap overflow.
            const std::string prefix = full.substr(0, n);
            const DecodeOutcome outcome = decode(prefix);
            EXPECT_FALSE(outcome.error) << n;
            for (const ControlUpdate& update : outcome.updates) {
                EXPECT_NE(std::find(all.begin(), all.end(), update), all.end())
                    << "prefix " << n << " set " << testing::PrintToString(update);
            }
        }
    }
}

}  // namespace
}  // namespace dialogue
