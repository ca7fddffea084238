// termios2 comes from the kernel's headers, which cannot share a translation
// unit with the C library's <termios.h>; that is why this file stands alone.
#include "line_settings.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace console_test {
namespace {

class Descriptor {
public:
    explicit Descriptor(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::optional<LineSettings> ReadLineSettings(const std::string& path) {
    const Descriptor fd(path);
    termios2 t{};
    if (fd.get() < 0 || ::ioctl(fd.get(), TCGETS2, &t) != 0) return std::nullopt;
    LineSettings s;
    s.inputSpeed = t.c_ispeed;
    s.outputSpeed = t.c_ospeed;
    s.oddParity = (t.c_cflag & PARODD) != 0;
    s.xonXoffOut = (t.c_iflag & IXON) != 0;
    s.xonXoffIn = (t.c_iflag & IXOFF) != 0;
    return s;
}

bool CanLock(const std::string& path) {
    const Descriptor fd(path);
    return fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
}

int ThreadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

int OpenTerminalCount() {
    int n = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.starts_with("/dev/tty") || target.starts_with("/dev/pts/") ||
            target == "/dev/ptmx")
            ++n;
    }
    return n;
}

}  // namespace console_test
