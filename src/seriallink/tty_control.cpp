// The only file that sees the kernel's termios2; <termios.h> must stay out.
#include "seriallink/tty_control.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <linux/magic.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

namespace seriallink::tty {
namespace {

tcflag_t DataBitsFlag(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t ParityFlags(TParity parity) {
    switch (parity) {
        case TParity::Odd:
            return PARENB | PARODD;
        case TParity::Even:
            return PARENB;
        case TParity::Mark:  // sticky parity: the bit is always 1
            return PARENB | CMSPAR | PARODD;
        case TParity::Space:  // sticky parity: the bit is always 0
            return PARENB | CMSPAR;
        case TParity::None:
            break;
    }
    return 0;
}

}  // namespace

TermiosFields EncodeLine(const LineSettings& s, const TermiosFields& current) {
    TermiosFields t = current;
    // Without marking the input path stays the kernel's raw fast path.
    t.iflag = s.markErrors ? (INPCK | PARMRK) : 0;
    if (s.xonXoffOut) t.iflag |= IXON;
    if (s.xonXoffIn) t.iflag |= IXOFF;
    t.oflag = 0;
    t.lflag = 0;

    tcflag_t speed = current.cflag & (CBAUD | CIBAUD);
    if (s.baudRate != 0) {
        // A rate of 0 would hang the line up; keep the current one instead.
        speed = BOTHER;
        t.ispeed = s.baudRate;
        t.ospeed = s.baudRate;
    }
    // One and a half stop bits: a UART gives 1.5 for 5 data bits when asked
    // for two; for longer characters two is the nearest it can do.
    const tcflag_t stop = s.stopBits == TStopBits::_1 ? 0 : CSTOPB;
    t.cflag = speed | CREAD | CLOCAL | HUPCL | DataBitsFlag(s.dataBits) | stop |
              ParityFlags(s.parity) | (s.hardwareFlow ? CRTSCTS : 0);

    t.vmin = 1;
    t.vtime = 0;
    t.vstart = static_cast<unsigned char>(s.xonChar);
    t.vstop = static_cast<unsigned char>(s.xoffChar);
    return t;
}

void ApplyLine(int fd, const LineSettings& s) {
    termios2 t{};
    if (::ioctl(fd, TCGETS2, &t) != 0) return;
    TermiosFields current;
    current.iflag = t.c_iflag;
    current.oflag = t.c_oflag;
    current.cflag = t.c_cflag;
    current.lflag = t.c_lflag;
    current.ispeed = t.c_ispeed;
    current.ospeed = t.c_ospeed;
    const TermiosFields wanted = EncodeLine(s, current);
    t.c_iflag = wanted.iflag;
    t.c_oflag = wanted.oflag;
    t.c_cflag = wanted.cflag;
    t.c_lflag = wanted.lflag;
    t.c_ispeed = wanted.ispeed;
    t.c_ospeed = wanted.ospeed;
    t.c_cc[VMIN] = wanted.vmin;
    t.c_cc[VTIME] = wanted.vtime;
    t.c_cc[VSTART] = wanted.vstart;
    t.c_cc[VSTOP] = wanted.vstop;
    ::ioctl(fd, TCSETS2, &t);
}

void Purge(int fd, Queue queue) {
    const int which = queue == Queue::Input    ? TCIFLUSH
                      : queue == Queue::Output ? TCOFLUSH
                                               : TCIOFLUSH;
    ::ioctl(fd, TCFLSH, which);
}

bool SetModemLine(int fd, ModemLine line, bool on) {
    const int bit = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool ReadDsr(int fd, bool& dsrOn) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0) return false;
    dsrOn = (lines & TIOCM_DSR) != 0;
    return true;
}

bool SetRs485(int fd, bool enable) {
    serial_rs485 rs485{};
    if (::ioctl(fd, TIOCGRS485, &rs485) != 0) return false;
    if (enable) {
        rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        rs485.flags &= ~static_cast<__u32>(SER_RS485_RTS_AFTER_SEND);
    } else {
        rs485.flags &= ~static_cast<__u32>(SER_RS485_ENABLED);
    }
    if (::ioctl(fd, TIOCSRS485, &rs485) != 0) return false;
    return ((rs485.flags & SER_RS485_ENABLED) != 0) == enable;
}

bool ReadCounters(int fd, Counters& c) {
    serial_icounter_struct ic{};
    if (::ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
    c.dcd = ic.dcd;
    c.rng = ic.rng;
    c.frame = ic.frame;
    c.overrun = ic.overrun;
    c.parity = ic.parity;
    c.brk = ic.brk;
    c.bufOverrun = ic.buf_overrun;
    return true;
}

int WaitModemChange(int fd) {
    return ::ioctl(fd, TIOCMIWAIT, TIOCM_CD | TIOCM_RNG);
}

int OutputQueued(int fd) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued < 0) queued = 0;
    unsigned int lsr = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &lsr) == 0 && (lsr & TIOCSER_TEMT) == 0) ++queued;
    return queued;
}

bool IsPseudoTerminal(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && fs.f_type == DEVPTS_SUPER_MAGIC;
}

void SetExclusive(int fd, bool on) {
    ::ioctl(fd, on ? TIOCEXCL : TIOCNXCL);
}

}  // namespace seriallink::tty
