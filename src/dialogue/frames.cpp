#include "dialogue/frames.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dialogue {
namespace {

// Rows and slots come from the window's own buttons; any other number is a
// programming error, and composing a frame for a non-existent row would
// silently reconfigure something else on the device.
void RequireNumberIn(int number, int last, const char* what) {
    if (number < 1 || number > last) {
        throw std::out_of_range(std::string(what) + " " + std::to_string(number) +
                                " does not exist");
    }
}

std::string Keyword(std::string_view stem, int number) {
    return std::string(stem) + std::to_string(number);
}

// "ZDAD01", "COMR02": the device numbers these keywords with two digits.
std::string Keyword2(std::string_view stem, int number) {
    return std::string(stem) + (number < 10 ? "0" : "") + std::to_string(number);
}

}  // namespace

std::string IndexText(int index) {
    return std::to_string(index);
}

std::string TwoDigitIndex(int index) {
    return (index <= 9 ? "0" : "") + std::to_string(index);
}

std::string LengthDigits(std::size_t n) {
    std::string digits = std::to_string(n / 10);
    digits += static_cast<char>('0' + n % 10);
    return digits;
}

std::string WriteFrame(std::string_view keyword, std::string_view arguments) {
    std::string frame;
    frame.reserve(9 + keyword.size() + arguments.size());
    frame += "TEKVAR#";
    frame += keyword;
    frame += ':';
    frame += arguments;
    frame += '#';
    return frame;
}

std::string QueryFrame(std::string_view keyword) {
    std::string frame = "PPPPPP#";
    frame += keyword;
    frame += '#';
    return frame;
}

std::string CommunicationQueryFrame() {
    return "999999#VAR#";
}
std::string ReadParametersFrame() {
    return QueryFrame("CHEACK1");
}
std::string ReadDataFrame() {
    return QueryFrame("STATUS");
}

std::string CommandTextQueryFrame(int slot) {
    RequireNumberIn(slot, 2, "Command slot");
    return QueryFrame(Keyword2("COMR", slot));
}

std::string CommandParseQueryFrame(int slot) {
    RequireNumberIn(slot, 2, "Command slot");
    return QueryFrame(Keyword2("COMP", slot));
}

std::string LineSettingsFrame(int baudIndex, int parityIndex) {
    return WriteFrame("RS485A", IndexText(baudIndex) + "," + IndexText(parityIndex));
}

std::string IntervalFrame(std::string_view interval) {
    return WriteFrame("JTM", interval);
}

std::string AddressFrame(std::string_view address) {
    return WriteFrame(kAddressKeyword, address);
}

std::string OutputRangeFrame(int row, std::string_view at4mA, std::string_view at20mA) {
    RequireNumberIn(row, 3, "Output row");
    std::string arguments(at4mA);
    arguments += ',';
    arguments += at20mA;
    return WriteFrame(Keyword("DOTA", row), arguments);
}

std::string PollingFrame(int row, const PollingRow& fields) {
    RequireNumberIn(row, 3, "Polling row");
    std::string arguments = IndexText(fields.commandIndex);
    for (const std::string* text : {&fields.startAddress, &fields.dataLength}) {
        arguments += ',';
        arguments += *text;
    }
    arguments += ',';
    arguments += TwoDigitIndex(fields.formatIndex);
    for (const std::string* text : {&fields.coefficient, &fields.migration}) {
        arguments += ',';
        arguments += *text;
    }
    return WriteFrame(Keyword2("ZDAD", row), arguments);
}

bool IsEvenLength(std::string_view command) {
    return command.size() % 2 == 0;
}

std::string CommandWriteFrame(int slot, int enableIndex, std::string_view command) {
    RequireNumberIn(slot, 2, "Command slot");
    // The length digits and the command text follow each other directly.
    std::string arguments = IndexText(enableIndex) + "," + LengthDigits(command.size());
    arguments += command;
    return WriteFrame(Keyword("COMW", slot), arguments);
}

std::string CommandParseFrame(int slot, std::string_view byte1, std::string_view byte2,
                              std::string_view byte3) {
    RequireNumberIn(slot, 2, "Command slot");
    std::string arguments(byte1);
    arguments += byte2;
    arguments += byte3;
    return WriteFrame(Keyword2("COMP", slot), arguments);
}

std::string TestModeFrame(std::int32_t current) {
    // Written from the number, not from the typed text: "020" goes out as "20".
    return WriteFrame("IOA", (current < 10 ? "0" : "") + std::to_string(current));
}

bool FitsOneSend(std::string_view frame) {
    return frame.size() <= kMaxFrameLength;
}

}  // namespace dialogue
