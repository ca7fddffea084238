#include "core/reply_builder.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace vk630sim {
namespace {

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string Milliamps(double current) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3fmA", current);
    return text;
}

std::string PollingBlock(const PollingDefinition& p, int row) {
    return "ZDAD0" + std::to_string(row) + ":" + std::to_string(p.commandNumber) + "," +
           p.startAddress + "," + p.dataLength + "," + TwoDigits(p.parseFormat) + "," +
           p.coefficient + "," + p.migration;
}

std::string OutputBlock(const OutputRange& o, int row) {
    return "DOAT" + std::to_string(row) + ":" + o.at4mA + "," + o.at20mA;
}

// Independent of the process locale; the write rules only store numbers.
double ParseNumber(std::string_view text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

std::string ParameterReply(const DeviceState& s) {
    std::string reply = "BOAT:" + std::to_string(s.baudIndex) + "," + std::to_string(s.parityIndex);
    reply += " ADR:" + s.address;
    reply += " JTM:" + s.interval;
    for (int row = 1; row <= 3; ++row) reply += " " + PollingBlock(s.polling[row - 1], row);
    for (int row = 1; row <= 3; ++row) reply += " " + OutputBlock(s.outputs[row - 1], row);
    return reply + kReplyEnd;
}

std::string CommandTextReply(const DeviceState& s, int slot) {
    const CommandSlot& c = s.commandSlots[slot - 1];
    int bytes = static_cast<int>(c.command.size() / 2);
    return "COMR" + std::to_string(slot) + ":" + (c.enabled ? "1" : "0") + "," + TwoDigits(bytes) +
           "," + c.command + kReplyEnd;
}

std::string CommandParseReply(const DeviceState& s, int slot) {
    const CommandSlot& c = s.commandSlots[slot - 1];
    return "COMP0" + std::to_string(slot) + ":" + c.parseBytes[0] + c.parseBytes[1] +
           c.parseBytes[2] + kReplyEnd;
}

double OutputCurrent(const OutputRange& range, int output) {
    double low = ParseNumber(range.at4mA);
    double high = ParseNumber(range.at20mA);
    if (high == low) return 4.0;
    double current = 4.0 + 16.0 * (kProcessValues[output] - low) / (high - low);
    return std::clamp(current, 4.0, 20.0);
}

double TestModeCurrent(const DeviceState& s, int output) {
    double current = *s.testCurrent * (1.0 + s.outputGainErrorPercent[output] / 100.0) *
                     ParseNumber(s.polling[output].coefficient);
    return std::clamp(current, 0.0, static_cast<double>(kMaxTestCurrent));
}

std::string StatusReply(const DeviceState& s) {
    std::string reply = "STATUS:";
    if (s.testCurrent) reply += "TEST,";
    for (int k = 0; k < 3; ++k) {
        double current = s.testCurrent ? TestModeCurrent(s, k) : OutputCurrent(s.outputs[k], k);
        if (k > 0) reply += ",";
        reply += "OUT" + std::to_string(k + 1) + "=" + Milliamps(current);
    }
    return reply + kReplyEnd;
}

std::string IdentityReply() {
    return std::string(kIdentity) + kReplyEnd;
}

}  // namespace vk630sim
