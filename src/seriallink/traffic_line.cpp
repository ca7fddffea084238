#include "seriallink/traffic_line.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace seriallink {
namespace {

std::string LocalTime(std::chrono::system_clock::time_point when, const char* format) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
}

// The names of the bits set in `value`, comma-separated, after the number
// itself, so an unknown bit still shows.
template <std::size_t N>
std::string Described(const char* what, std::uint32_t value,
                      const std::pair<std::uint32_t, const char*> (&names)[N]) {
    std::string text = std::string(what) + " " + std::to_string(value);
    const char* separator = ": ";
    for (const auto& [bit, name] : names) {
        if ((value & bit) == 0) continue;
        text += separator;
        text += name;
        separator = ", ";
    }
    return text;
}

constexpr std::pair<std::uint32_t, const char*> kLineErrors[] = {
    {CE_RXOVER, "receive queue overflow"}, {CE_OVERRUN, "overrun"}, {CE_RXPARITY, "parity error"},
    {CE_FRAME, "framing error"},           {CE_BREAK, "break"},
};
constexpr std::pair<std::uint32_t, const char*> kModemEvents[] = {
    {ModemRing, "ring"},
    {ModemCarrier, "carrier detect changed"},
};

const char* KindName(TrafficKind kind) {
    switch (kind) {
        case TrafficKind::Tx:
            return "TX";
        case TrafficKind::Rx:
            return "RX";
        case TrafficKind::LineError:
            return "LINE-ERROR";
        case TrafficKind::Modem:
            return "MODEM";
        case TrafficKind::Hangup:
            return "HANGUP";
        case TrafficKind::Open:
            return "OPEN";
        case TrafficKind::Close:
            return "CLOSE";
    }
    return "?";
}

const char* ParityName(TParity parity) {
    constexpr const char* kNames[] = {"None", "Odd", "Even", "Mark", "Space"};
    const auto index = static_cast<std::size_t>(parity);
    return index < std::size(kNames) ? kNames[index] : "?";
}

std::string Detail(const TrafficRecord& record) {
    switch (record.kind) {
        case TrafficKind::Tx:
        case TrafficKind::Rx:
            return EscapedText(record.bytes) + "\t" + HexBytes(record.bytes);
        case TrafficKind::LineError:
            return Described("flags", record.value, kLineErrors);
        case TrafficKind::Modem:
            return Described("event", record.value, kModemEvents);
        case TrafficKind::Open:
            return EscapedText(record.bytes) + " at " + std::to_string(record.value) +
                   " baud, parity " + ParityName(record.parity);
        case TrafficKind::Hangup:
        case TrafficKind::Close:
            break;
    }
    return {};
}

}  // namespace

std::string EscapedText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text;
}

std::string HexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 3);
    for (const unsigned char c : bytes) {
        if (!hex.empty()) hex += ' ';
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0x0F];
    }
    return hex;
}

std::string FormatTrafficLine(const TrafficRecord& record) {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    const auto millis = duration_cast<milliseconds>(record.when.time_since_epoch()).count() % 1000;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(millis));
    std::string line = LocalTime(record.when, "%Y-%m-%d %H:%M:%S") + fraction + "  +" +
                       std::to_string(record.sinceStart.count()) + " ms  " + KindName(record.kind);
    if (std::string detail = Detail(record); !detail.empty()) line += "  " + detail;
    line += '\n';
    return line;
}

std::string TrafficLogFileName(std::string_view portName,
                               std::chrono::system_clock::time_point when) {
    std::string_view last = portName.substr(portName.find_last_of('/') + 1);
    if (last.empty()) last = "port";
    return "vk630e-" + std::string(last) + "-" + LocalTime(when, "%Y-%m-%d_%H-%M-%S") + ".log";
}

}  // namespace seriallink
