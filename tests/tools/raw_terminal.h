// The console's end of a pseudo-terminal in a test: opened and set raw as
// a serial port would be, with timestamped reads.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace vk630sim::testing {

struct Arrival {
    std::chrono::steady_clock::time_point at;
    std::string bytes;
};

std::string Joined(const std::vector<Arrival>& arrivals);

class RawTerminal {
public:
    explicit RawTerminal(const std::string& path);
    ~RawTerminal();
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    void Send(std::string_view bytes) const;
    // Reads until what has arrived ends with `end`, or until `limit`.
    std::vector<Arrival> ReadUntil(std::string_view end, std::chrono::milliseconds limit) const;
    // Reads until no byte has come for `quiet`.
    std::string ReadUntilQuiet(std::chrono::milliseconds quiet) const;
    // True when the other side hangs up within `limit`.
    bool WaitHangUp(std::chrono::milliseconds limit) const;

private:
    int fd_ = -1;
};

}  // namespace vk630sim::testing
