// The frames the console sends to the transmitter, composed from the field
// values they carry. Texts are byte strings (one character per byte) and go
// into the frame exactly as given; a choice box contributes its selected
// index, -1 when nothing is selected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dialogue {

// ReplyKind values: how the next reply is treated.
enum ReplyKinds : std::int32_t {
    KindNone = 0,
    KindDisplayOnly = 100,
    KindParameters = 101,
    KindCommandWrite = 106,
    KindCommandText = 1501,
    KindCommandParse = 1502,
};

// One send takes a 16-bit count. A longer frame is refused as a whole, never
// cut short on the line.
inline constexpr std::size_t kMaxFrameLength = 65535;
bool FitsOneSend(std::string_view frame);
inline constexpr const char* kMsgFrameTooLong =
    "The command is too long to be sent: one frame holds at most 65535 characters";

// Pieces.
std::string IndexText(int index);      // "-1", "0", "22"
std::string TwoDigitIndex(int index);  // 0 -> "00", 9 -> "09", 10 -> "10", -1 -> "0-1"
// n div 10, then the digit n mod 10: 8 -> "08", 120 -> "120".
std::string LengthDigits(std::size_t n);

// Families.
std::string WriteFrame(std::string_view keyword, std::string_view arguments);  // TEKVAR#kw:args#
std::string QueryFrame(std::string_view keyword);                              // PPPPPP#kw#

// Fixed frames.
std::string CommunicationQueryFrame();         // "999999#VAR#"
std::string ReadParametersFrame();             // "PPPPPP#CHEACK1#"
std::string ReadDataFrame();                   // "PPPPPP#STATUS#"
std::string CommandTextQueryFrame(int slot);   // slot 1, 2: "PPPPPP#COMR01#"
std::string CommandParseQueryFrame(int slot);  // slot 1, 2: "PPPPPP#COMP01#"

// Device group.
std::string LineSettingsFrame(int baudIndex, int parityIndex);  // "TEKVAR#RS485A:3,0#"
std::string IntervalFrame(std::string_view interval);           // "TEKVAR#JTM:10#"
inline constexpr std::string_view kAddressKeyword = "ADR";
std::string AddressFrame(std::string_view address);  // "TEKVAR#ADR:001#"

// Rows and slots outside 1..3 (1..2 for command slots) throw std::out_of_range.

// Output range rows 1 to 3: "TEKVAR#DOTA1:0.000,100.0#".
std::string OutputRangeFrame(int row, std::string_view at4mA, std::string_view at20mA);

// Polling definition rows 1 to 3: "TEKVAR#ZDAD01:-1,01,0,00,000001,00000#".
struct PollingRow {
    int commandIndex = -1;
    std::string startAddress;
    std::string dataLength;
    int formatIndex = -1;
    std::string coefficient;
    std::string migration;
};
std::string PollingFrame(int row, const PollingRow& fields);

// Command slots 1 and 2. The command text must have an even number of
// characters; CommandWriteFrame assumes the caller has checked it.
bool IsEvenLength(std::string_view command);
inline constexpr const char* kMsgOddCommand = "Input data must be even-numbered";
std::string CommandWriteFrame(int slot, int enableIndex, std::string_view command);
std::string CommandParseFrame(int slot, std::string_view byte1, std::string_view byte2,
                              std::string_view byte3);  // "TEKVAR#COMP01:010300#"

// Output test: below 10 the number gets a leading "0" (4 -> "04", -3 -> "0-3").
std::string TestModeFrame(std::int32_t current);  // "TEKVAR#IOA:20#"

}  // namespace dialogue
