// The simulator's end of the line to the console: a pseudo-terminal or a
// real serial port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/stop_signal.h"

namespace vk630sim {

struct SendResult {
    std::size_t written = 0;
    bool stopped = false;  // a stop was asked for while sending
};

class Line {
public:
    virtual ~Line() = default;

    // Readable when Receive has something to take.
    virtual int WaitFd() const = 0;
    // Appends what has arrived to `bytes`; false once the line is gone.
    virtual bool Receive(std::string& bytes) = 0;
    // Puts the bytes on the line at its byte time and returns when the last
    // one has gone out, so that pauses measured after it are real pauses.
    virtual SendResult Send(std::string_view bytes, const StopSignal& stop) = 0;
    // Closes the line so that the console sees a hang-up, after what was
    // sent has reached the console.
    virtual void HangUp(const StopSignal& stop) = 0;
    // A remark about the line worth logging once, such as the console
    // having set other line settings than the simulator runs at.
    virtual std::optional<std::string> Remark() { return std::nullopt; }
};

}  // namespace vk630sim
