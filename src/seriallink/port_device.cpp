#include "seriallink/port_device.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "seriallink/tcomm.h"
#include "seriallink/tty_control.h"

namespace seriallink {

std::string DevicePathFor(const std::string& commName) {
    if (commName.size() < 4 || commName.size() > 6 ||
        ::strncasecmp(commName.c_str(), "COM", 3) != 0)
        return commName;
    const char* digits = commName.c_str() + 3;
    const char* end = commName.c_str() + commName.size();
    unsigned number = 0;
    const auto [stop, error] = std::from_chars(digits, end, number);
    if (error != std::errc{} || stop != end || digits[0] == '0' || number < 1 || number > 256)
        return commName;
    return "/dev/ttyS" + std::to_string(number - 1);
}

PortDevice::~PortDevice() {
    // TIOCEXCL outlives our descriptor on the device; leave it as found.
    if (fd_) tty::SetExclusive(fd_.Get(), false);
}

PortDevice PortDevice::Open(const std::string& commName) {
    const std::string path = DevicePathFor(commName);
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        // A directory is a file that is no terminal, not a missing device.
        throw ECommsError(errno == EISDIR ? kMsgNotCommHandle : kMsgOpenFailed, errno);
    }
    if (!::isatty(fd.Get())) throw ECommsError(kMsgNotCommHandle, errno);
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) throw ECommsError(kMsgOpenFailed, errno);
    tty::SetExclusive(fd.Get(), true);
    return PortDevice(std::move(fd));
}

}  // namespace seriallink
