// The kernel's termios2 clashes with <termios.h>, so it lives here alone.
#include "slave_line.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <stdexcept>

namespace seriallink::test {

namespace {
termios2 Get(int fd) {
    termios2 t{};
    if (::ioctl(fd, TCGETS2, &t) != 0) throw std::runtime_error("TCGETS2");
    return t;
}
}  // namespace

SlaveLine ReadSlaveLine(int fd) {
    const termios2 t = Get(fd);
    SlaveLine line;
    line.baud = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
        case CS5:
            line.dataBits = 5;
            break;
        case CS6:
            line.dataBits = 6;
            break;
        case CS7:
            line.dataBits = 7;
            break;
        default:
            line.dataBits = 8;
    }
    line.twoStopBits = (t.c_cflag & CSTOPB) != 0;
    line.parityOn = (t.c_cflag & PARENB) != 0;
    line.parityOdd = (t.c_cflag & PARODD) != 0;
    line.stickyParity = (t.c_cflag & CMSPAR) != 0;
    line.rtsCts = (t.c_cflag & CRTSCTS) != 0;
    line.xonOut = (t.c_iflag & IXON) != 0;
    line.xoffIn = (t.c_iflag & IXOFF) != 0;
    line.marking = (t.c_iflag & PARMRK) != 0;
    line.raw = (t.c_lflag & (ICANON | ECHO | ISIG)) == 0 && (t.c_oflag & OPOST) == 0 &&
               (t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP)) == 0;
    line.startChar = static_cast<char>(t.c_cc[VSTART]);
    line.stopChar = static_cast<char>(t.c_cc[VSTOP]);
    return line;
}

void SetSlaveBaud(int fd, std::uint32_t baud) {
    termios2 t = Get(fd);
    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CBAUD | CIBAUD)) | BOTHER;
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    if (::ioctl(fd, TCSETS2, &t) != 0) throw std::runtime_error("TCSETS2");
}

bool ExclusiveMode(int fd) {
    int on = 0;
    if (::ioctl(fd, TIOCGEXCL, &on) != 0) throw std::runtime_error("TIOCGEXCL");
    return on != 0;
}

}  // namespace seriallink::test
