// The transmitter's settings as the simulator keeps them. Every text value
// already has the width it takes in the replies, so a reply is built by
// joining them; the write rules keep that invariant.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace vk630sim {

// Widths of the values inside the replies the console decodes.
inline constexpr std::size_t kIntervalWidth = 3;
inline constexpr std::size_t kAddressWidth = 3;
inline constexpr std::size_t kStartAddressWidth = 3;
inline constexpr std::size_t kDataLengthWidth = 1;
inline constexpr std::size_t kCoefficientWidth = 6;
inline constexpr std::size_t kMigrationWidth = 5;
inline constexpr std::size_t kRangeWidth = 5;
inline constexpr std::size_t kParseByteWidth = 2;

// Choice lists of the console: their last index.
inline constexpr int kLastBaudIndex = 3;      // 1200, 2400, 4800, 9600
inline constexpr int kLastParityIndex = 2;    // none, odd, even
inline constexpr int kLastCommandNumber = 4;  // 0_Close .. 4_CMD4
inline constexpr int kLastParseFormat = 22;   // 0 Read float 4321 .. 22 String-to-float
inline constexpr int kMaxCommandBytes = 99;   // the byte count has two digits in the reply
inline constexpr int kMaxTestCurrent = 24;    // mA; the output stage drives 0 to 24 mA

struct PollingDefinition {
    int commandNumber = 0;
    std::string startAddress = "001";
    std::string dataLength = "0";
    int parseFormat = 0;
    std::string coefficient = "000001";
    std::string migration = "00000";
};

struct OutputRange {
    std::string at4mA = "0.000";
    std::string at20mA = "100.0";
};

struct CommandSlot {
    bool enabled = false;
    std::string command = "0103000000044409";  // hexadecimal text, two characters per byte
    std::array<std::string, 3> parseBytes = {"01", "03", "00"};
};

// Starts from the console's own start-up fields, widened to the reply
// widths ("10" becomes "010", "01" becomes "001").
struct DeviceState {
    int baudIndex = 3;
    int parityIndex = 0;
    std::string interval = "010";  // in 0.1 s; "000" selects the reduced layout in the console
    std::string address = "001";
    std::array<PollingDefinition, 3> polling{};
    std::array<OutputRange, 3> outputs{};
    std::array<CommandSlot, 2> commandSlots{};
    std::optional<int> testCurrent;  // mA while in test mode; no frame ends it
    // Not a setting but the output stages' own gain error, in %, which the
    // stored coefficients are there to correct.
    std::array<double, 3> outputGainErrorPercent{};

    bool operator==(const DeviceState&) const = default;
};

// What the simulator program starts with: a transmitter as it comes from a
// site, configured differently from the console's start-up fields, so that
// "Read Parameters" visibly fills the window.
inline DeviceState FieldDeviceState() {
    DeviceState device;
    device.interval = "020";
    device.address = "017";
    device.polling[0] = {1, "001", "2", 0, "000001", "00000"};
    device.polling[1] = {2, "003", "2", 3, "000001", "00000"};
    device.outputs[0] = {"0.000", "250.0"};
    return device;
}

}  // namespace vk630sim
