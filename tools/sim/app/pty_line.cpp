#include "app/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vk630sim {
namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PtyLine::PtyLine(std::uint32_t baud, LineParity parity, const std::string& linkPath)
    : baud_(baud), byteTime_(ByteTime(baud, parity)), lastRemarkedBaud_(baud) {
    master_.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_.Valid()) throw SystemError("cannot open a pseudo-terminal");
    if (::grantpt(master_.Get()) != 0 || ::unlockpt(master_.Get()) != 0) {
        throw SystemError("cannot unlock the pseudo-terminal");
    }
    char name[128];
    if (::ptsname_r(master_.Get(), name, sizeof name) != 0) throw SystemError("no slave name");
    slavePath_ = name;
    int flags = ::fcntl(master_.Get(), F_GETFL);
    ::fcntl(master_.Get(), F_SETFL, flags | O_NONBLOCK);

    slave_.Reset(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave_.Valid()) throw SystemError("cannot open " + slavePath_);
    termios raw{};
    ::tcgetattr(slave_.Get(), &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_.Get(), TCSANOW, &raw);
    WriteTerminalBaud(slave_.Get(), baud_);  // shown to the console; a pty carries any rate

    link_ = std::make_unique<SymlinkGuard>(slavePath_, linkPath);
}

bool PtyLine::Receive(std::string& bytes) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(master_.Get(), buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return true;
        return false;  // end of file or EIO: no slave left, which our own slave rules out
    }
}

bool PtyLine::WaitWritable(const StopSignal& stop) {
    pollfd fds[2] = {{master_.Get(), POLLOUT, 0}, {stop.Fd(), POLLIN, 0}};
    for (;;) {
        int n = ::poll(fds, 2, 1000);
        if (n < 0 && errno == EINTR) continue;
        return n > 0 && (fds[0].revents & POLLOUT) && !(fds[1].revents & POLLIN);
    }
}

// Byte i goes out at start + i byte times and the call returns when the last
// one would have left a real line; when the process wakes late it catches
// up with one write, so the pace holds on average at any rate.
SendResult PtyLine::Send(std::string_view bytes, const StopSignal& stop) {
    SendResult result;
    auto start = std::chrono::steady_clock::now();
    while (result.written < bytes.size()) {
        auto elapsed = std::chrono::steady_clock::now() - start;
        auto due = std::min<std::size_t>(bytes.size(), elapsed / byteTime_ + 1);
        if (due > result.written) {
            ssize_t n = ::write(master_.Get(), bytes.data() + result.written, due - result.written);
            if (n > 0) {
                result.written += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                if (!WaitWritable(stop)) {  // nobody takes the bytes, or a stop
                    result.stopped = stop.Requested();
                    break;
                }
            } else if (!(n < 0 && errno == EINTR)) {
                break;
            }
        }
        if (!stop.SleepUntil(start + byteTime_ * result.written)) {
            result.stopped = true;
            break;
        }
    }
    return result;
}

void PtyLine::HangUp(const StopSignal& stop) {
    // Closing the master discards what the console has not read yet.
    auto limit = std::chrono::steady_clock::now() + kDrainLimit;
    int unread = 0;
    while (::ioctl(slave_.Get(), FIONREAD, &unread) == 0 && unread > 0 &&
           std::chrono::steady_clock::now() < limit) {
        if (!stop.SleepFor(std::chrono::milliseconds(5))) break;
    }
    stop.SleepFor(kHangUpLinger);
    slave_.Reset();
    master_.Reset();
}

std::optional<std::string> PtyLine::Remark() {
    auto console = ReadTerminalBaud(slave_.Get());
    if (!console || *console == lastRemarkedBaud_) return std::nullopt;
    lastRemarkedBaud_ = *console;
    if (*console == baud_) return "the console's line rate now matches the simulator's";
    return "the console's line is set to " + std::to_string(*console) +
           " baud, the simulator runs at " + std::to_string(baud_) +
           " baud: on a real line these bytes would be garbled";
}

}  // namespace vk630sim
