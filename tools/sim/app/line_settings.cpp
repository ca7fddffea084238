#include "app/line_settings.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace vk630sim {

std::optional<std::uint32_t> ReadTerminalBaud(int fd) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
    return t.c_ospeed;
}

bool WriteTerminalBaud(int fd, std::uint32_t baud) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~(CBAUD | CIBAUD);
    t.c_cflag |= BOTHER;
    t.c_ispeed = t.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace vk630sim
