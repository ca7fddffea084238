// The technician's meter on the three outputs, for a demonstration or a
// script: while the device is in test mode, every change of the output
// currents is one log line and, when asked for, the new content of a file.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/logger.h"
#include "core/device_state.h"

namespace vk630sim {

// "20.100 19.940 20.000": the currents in mA, as a technician types them.
std::string MeterReading(const std::array<double, 3>& currents);

class Meter {
public:
    Meter(std::optional<std::string> path, const Logger& log) : path_(std::move(path)), log_(log) {}

    // Called after each frame, before its reply goes out, so that whoever
    // has the reply can read the meter.
    void Look(const DeviceState& state);

private:
    void Rewrite(const std::string& reading) const;

    std::optional<std::string> path_;
    const Logger& log_;
    std::optional<std::array<double, 3>> shown_;
};

}  // namespace vk630sim
