// What the link asks of the machine besides reading and writing the port:
// its modem lines (and the RS-485 mode that drives RTS) and the time. The system's own serve every
// component; a test puts its own in place to watch what a pseudo-terminal cannot show (RTS, DTR,
// DSR) or to hold the time at a chunk's deadline.
#pragma once

#include <cstdint>

#include "seriallink/tty_control.h"

namespace seriallink {

// Called from the owner's thread and the workers at once.
class ModemLines {
public:
    virtual ~ModemLines() = default;
    // Raises or lowers an output line; false where the driver has none.
    virtual bool Set(int fd, tty::ModemLine line, bool on) = 0;
    // False where the driver cannot tell; else dsrOn holds the DSR input.
    virtual bool ReadDsr(int fd, bool& dsrOn) = 0;
    // Switches the driver's RS-485 mode, which raises RTS while sending;
    // false where the driver has none or refused it.
    virtual bool SetRs485(int fd, bool enable) = 0;
};

class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    // Nanoseconds on CLOCK_MONOTONIC, the clock the receive timer runs on.
    virtual std::int64_t NowNs() const = 0;
};

// Each must outlive the components given it; nullptr takes the system's.
struct LinkSeams {
    ModemLines* modemLines = nullptr;
    const MonotonicClock* clock = nullptr;
};

ModemLines& SystemModemLines();
const MonotonicClock& SystemClock();

}  // namespace seriallink
