// SIGINT, SIGTERM and SIGHUP ask the simulator to stop. The handler only
// writes to a pipe, so every wait of the program (the line poll and the
// pauses before and inside replies) can watch it and end at once.
#pragma once

#include <chrono>

#include "app/unique_fd.h"

namespace vk630sim {

class StopSignal {
public:
    StopSignal();   // installs the handlers; one instance per process
    ~StopSignal();  // restores the previous handlers
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    int Fd() const { return readEnd_.Get(); }  // readable once a stop was asked for
    bool Requested() const;

    // Waits until `deadline`; false when a stop was asked for first.
    bool SleepUntil(std::chrono::steady_clock::time_point deadline) const;
    bool SleepFor(std::chrono::nanoseconds pause) const {
        return SleepUntil(std::chrono::steady_clock::now() + pause);
    }

private:
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
};

}  // namespace vk630sim
