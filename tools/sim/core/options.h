// The simulator's command line.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/reply_plan.h"

namespace vk630sim {

enum class LineParity { None, Odd, Even };

struct Options {
    std::optional<std::string> port;  // a real serial port; a pseudo-terminal when absent
    std::uint32_t baud = 9600;
    LineParity parity = LineParity::None;
    std::optional<std::string> link;  // stable name of the pseudo-terminal
    std::chrono::milliseconds delay{20};
    FaultOptions faults;
    std::array<double, 3> outputErrorPercent{};  // gain error of each output stage
    std::optional<std::string> meter;            // file that shows the test-mode currents
    std::vector<std::string> unknown;            // keywords of commands the device lacks
    bool quiet = false;
    bool help = false;
};

struct ParsedOptions {
    std::optional<Options> options;  // absent on error
    std::string error;
};

// `arguments` excludes the program name.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);
std::string UsageText();

// $XDG_RUNTIME_DIR/vk630-sim when that directory is given, else /tmp/vk630-sim.
std::string DefaultLinkPath(const char* runtimeDir);

// Start bit, 8 data bits, the parity bit when there is one, a stop bit.
unsigned BitsPerByte(LineParity parity);
std::chrono::nanoseconds ByteTime(std::uint32_t baud, LineParity parity);

const char* ParityName(LineParity parity);

}  // namespace vk630sim
