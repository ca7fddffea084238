#include "core/write_rules.h"

#include <charconv>
#include <functional>
#include <optional>
#include <vector>

#include "core/field_fit.h"
#include "core/reply_builder.h"

namespace vk630sim {
namespace {

// Why a frame was refused: the field (empty for one-value frames) and the
// problem ("width", "value", "fields").
struct Refusal {
    std::string field;
    std::string problem;
};
using Outcome = std::optional<Refusal>;  // nullopt: applied

std::vector<std::string_view> SplitArguments(std::string_view arguments) {
    std::vector<std::string_view> parts;
    for (;;) {
        auto comma = arguments.find(',');
        parts.push_back(arguments.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        arguments.remove_prefix(comma + 1);
    }
}

Refusal WidthOrValue(std::string field, std::string_view value, std::size_t width) {
    return {std::move(field), value.size() > width ? "width" : "value"};
}

Outcome ApplyLineSettings(DeviceState& s, std::string_view arguments) {
    auto parts = SplitArguments(arguments);
    if (parts.size() != 2) return Refusal{"", "fields"};
    auto baud = ParseIndex(parts[0], kLastBaudIndex);
    if (!baud) return Refusal{"baud", "value"};
    auto parity = ParseIndex(parts[1], kLastParityIndex);
    if (!parity) return Refusal{"parity", "value"};
    s.baudIndex = *baud;
    s.parityIndex = *parity;
    return std::nullopt;
}

Outcome ApplyDigits(std::string& target, std::string_view value, std::size_t width) {
    auto fitted = FitDigits(value, width);
    if (!fitted) return WidthOrValue("", value, width);
    target = *fitted;
    return std::nullopt;
}

Outcome ApplyPolling(PollingDefinition& p, std::string_view arguments) {
    auto parts = SplitArguments(arguments);
    if (parts.size() != 6) return Refusal{"", "fields"};
    auto command = ParseIndex(parts[0], kLastCommandNumber);
    if (!command) return Refusal{"command", "value"};
    auto start = FitDigits(parts[1], kStartAddressWidth);
    if (!start) return WidthOrValue("start", parts[1], kStartAddressWidth);
    auto length = FitDigits(parts[2], kDataLengthWidth);
    if (!length) return WidthOrValue("length", parts[2], kDataLengthWidth);
    auto format = ParseIndex(parts[3], kLastParseFormat);
    if (!format) return Refusal{"format", "value"};
    auto coefficient = FitNumber(parts[4], kCoefficientWidth);
    if (!coefficient) return WidthOrValue("coefficient", parts[4], kCoefficientWidth);
    auto migration = FitNumber(parts[5], kMigrationWidth);
    if (!migration) return WidthOrValue("migration", parts[5], kMigrationWidth);
    p = {*command, *start, *length, *format, *coefficient, *migration};
    return std::nullopt;
}

Outcome ApplyRange(OutputRange& o, std::string_view arguments) {
    auto parts = SplitArguments(arguments);
    if (parts.size() != 2) return Refusal{"", "fields"};
    auto at4mA = FitNumber(parts[0], kRangeWidth);
    if (!at4mA) return WidthOrValue("4mA", parts[0], kRangeWidth);
    auto at20mA = FitNumber(parts[1], kRangeWidth);
    if (!at20mA) return WidthOrValue("20mA", parts[1], kRangeWidth);
    o = {*at4mA, *at20mA};
    return std::nullopt;
}

// The console writes the character count n as n div 10 in decimal followed
// by the digit n mod 10, with the command text right after it. The digits
// and the text are told apart by their total length: 2 digits for up to 99
// characters, 3 for up to 999, and so on, the count then matching the rest.
std::optional<std::string_view> SplitCommandText(std::string_view lengthAndText) {
    for (std::size_t digits = 2; digits <= 6 && digits <= lengthAndText.size(); ++digits) {
        std::size_t n = lengthAndText.size() - digits;
        std::string written = std::to_string(n / 10) + std::to_string(n % 10);
        if (written.size() == digits && lengthAndText.starts_with(written)) {
            return lengthAndText.substr(digits);
        }
    }
    return std::nullopt;
}

Outcome ApplyCommandText(CommandSlot& c, std::string_view arguments) {
    auto comma = arguments.find(',');
    if (comma == std::string_view::npos) return Refusal{"", "fields"};
    auto enable = ParseIndex(arguments.substr(0, comma), 1);
    if (!enable) return Refusal{"enable", "value"};
    auto command = SplitCommandText(arguments.substr(comma + 1));
    if (!command) return Refusal{"length", "value"};
    if (command->size() % 2 != 0 || !IsHexText(*command)) return Refusal{"command", "value"};
    if (command->size() / 2 > static_cast<std::size_t>(kMaxCommandBytes)) {
        return Refusal{"command", "width"};
    }
    c.enabled = *enable == 1;
    c.command = std::string(*command);
    return std::nullopt;
}

Outcome ApplyParseBytes(CommandSlot& c, std::string_view arguments) {
    if (arguments.size() != 3 * kParseByteWidth) return Refusal{"", "width"};
    if (!IsHexText(arguments)) return Refusal{"", "value"};
    for (std::size_t i = 0; i < 3; ++i) {
        c.parseBytes[i] = std::string(arguments.substr(i * kParseByteWidth, kParseByteWidth));
    }
    return std::nullopt;
}

Outcome ApplyTestCurrent(DeviceState& s, std::string_view value) {
    if (!FitDigits(value, 3)) return Refusal{"", "value"};
    int current = 0;
    std::from_chars(value.data(), value.data() + value.size(), current);
    if (current > kMaxTestCurrent) return Refusal{"", "range"};
    s.testCurrent = current;
    return std::nullopt;
}

struct WriteRule {
    std::string_view keyword;
    std::function<Outcome(DeviceState&, std::string_view)> apply;
    std::function<std::string(const DeviceState&)> reply;  // after an applied write
};

std::string Acknowledge(const DeviceState&) {
    return kAcknowledge;
}

const std::vector<WriteRule>& Rules() {
    using S = DeviceState&;
    using A = std::string_view;
    static const std::vector<WriteRule> rules = {
        {"RS485A", [](S s, A a) { return ApplyLineSettings(s, a); }, Acknowledge},
        {"JTM", [](S s, A a) { return ApplyDigits(s.interval, a, kIntervalWidth); }, Acknowledge},
        {"ADR", [](S s, A a) { return ApplyDigits(s.address, a, kAddressWidth); }, Acknowledge},
        {"ZDAD01", [](S s, A a) { return ApplyPolling(s.polling[0], a); }, Acknowledge},
        {"ZDAD02", [](S s, A a) { return ApplyPolling(s.polling[1], a); }, Acknowledge},
        {"ZDAD03", [](S s, A a) { return ApplyPolling(s.polling[2], a); }, Acknowledge},
        {"DOTA1", [](S s, A a) { return ApplyRange(s.outputs[0], a); }, Acknowledge},
        {"DOTA2", [](S s, A a) { return ApplyRange(s.outputs[1], a); }, Acknowledge},
        {"DOTA3", [](S s, A a) { return ApplyRange(s.outputs[2], a); }, Acknowledge},
        {"COMW1", [](S s, A a) { return ApplyCommandText(s.commandSlots[0], a); }, Acknowledge},
        {"COMW2", [](S s, A a) { return ApplyCommandText(s.commandSlots[1], a); }, Acknowledge},
        {"COMP01", [](S s, A a) { return ApplyParseBytes(s.commandSlots[0], a); },
         [](const DeviceState& s) { return CommandParseReply(s, 1); }},
        {"COMP02", [](S s, A a) { return ApplyParseBytes(s.commandSlots[1], a); },
         [](const DeviceState& s) { return CommandParseReply(s, 2); }},
        {"IOA", [](S s, A a) { return ApplyTestCurrent(s, a); }, Acknowledge},
    };
    return rules;
}

}  // namespace

std::string ApplyWrite(DeviceState& state, std::string_view keyword, std::string_view arguments) {
    for (const auto& rule : Rules()) {
        if (rule.keyword != keyword) continue;
        auto refusal = rule.apply(state, arguments);
        if (!refusal) return rule.reply(state);
        std::string text = "ERR:" + std::string(keyword);
        if (!refusal->field.empty()) text += " " + refusal->field;
        return text + " " + refusal->problem + kReplyEnd;
    }
    return kUnknownCommand;
}

}  // namespace vk630sim
