#include "raw_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace vk630sim::testing {

std::string Joined(const std::vector<Arrival>& arrivals) {
    std::string all;
    for (const auto& a : arrivals) all += a.bytes;
    return all;
}

RawTerminal::RawTerminal(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd_, TCSANOW, &t);
}

RawTerminal::~RawTerminal() {
    Close();
}

void RawTerminal::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void RawTerminal::Send(std::string_view bytes) const {
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("short write to the terminal");
    }
}

std::vector<Arrival> RawTerminal::ReadUntil(std::string_view end,
                                            std::chrono::milliseconds limit) const {
    std::vector<Arrival> arrivals;
    std::string all;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!all.ends_with(end)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[4096];
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        arrivals.push_back({std::chrono::steady_clock::now(), std::string(buffer, n)});
        all += arrivals.back().bytes;
    }
    return arrivals;
}

std::string RawTerminal::ReadUntilQuiet(std::chrono::milliseconds quiet) const {
    std::string all;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) return all;
        char buffer[4096];
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) return all;
        all.append(buffer, n);
    }
}

bool RawTerminal::WaitHangUp(std::chrono::milliseconds limit) const {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        if (p.revents & POLLHUP) return true;
        char buffer[256];
        if (::read(fd_, buffer, sizeof buffer) == 0) return true;
    }
    return false;
}

}  // namespace vk630sim::testing
