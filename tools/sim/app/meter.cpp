#include "app/meter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/reply_builder.h"

namespace vk630sim {

std::string MeterReading(const std::array<double, 3>& currents) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f %.3f %.3f", currents[0], currents[1], currents[2]);
    return text;
}

void Meter::Look(const DeviceState& state) {
    if (!state.testCurrent) return;
    std::array<double, 3> currents{};
    for (int k = 0; k < 3; ++k) currents[k] = TestModeCurrent(state, k);
    if (shown_ == currents) return;
    shown_ = currents;
    const std::string reading = MeterReading(currents);
    log_.Note("outputs: " + reading + " mA");
    if (path_) Rewrite(reading);
}

// Beside the file, then renamed: a reader never sees half a reading.
void Meter::Rewrite(const std::string& reading) const {
    const std::string beside = *path_ + ".new";
    {
        std::ofstream out(beside, std::ios::trunc);
        out << reading << "\n";
        if (!out.flush()) {
            log_.Note("meter: cannot write " + beside);
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(beside, *path_, error);
    if (error) log_.Note("meter: cannot rename " + beside + ": " + error.message());
}

}  // namespace vk630sim
