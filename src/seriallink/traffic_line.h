// One line of the traffic log, and the log's proposed file name.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "seriallink/traffic_tap.h"

namespace seriallink {

// An event as the log keeps it until it is written: its own copy of the
// bytes, and the moment the owner reported it.
struct TrafficRecord {
    TrafficKind kind = TrafficKind::Tx;
    std::chrono::system_clock::time_point when;
    std::chrono::milliseconds sinceStart{0};
    std::string bytes;
    std::uint32_t value = 0;
    TParity parity = TParity::None;
};

// "2026-12-08 14:03:21.412  +1532 ms  RX  BOAT:3,0\r\n" as text, then for
// the bytes of TX and RX a tab and their hex; ends with a newline.
std::string FormatTrafficLine(const TrafficRecord& record);

// Printable ASCII as it is, every other byte as "\xNN", so a line stays one
// line whatever the device sent.
std::string EscapedText(std::string_view bytes);
// "42 4F 0D" for the bytes "BO\r".
std::string HexBytes(std::string_view bytes);

// vk630e-<last part of the port's name>-<local date and time>.log, e.g.
// "vk630e-ttyUSB0-2026-12-08_14-03-21.log"; no directory.
std::string TrafficLogFileName(std::string_view portName,
                               std::chrono::system_clock::time_point when);

}  // namespace seriallink
