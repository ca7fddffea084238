// The terminal operations the serial link needs, free of <termios.h>: the
// kernel's termios2 (which sets any baud rate) clashes with the C library's
// termios, so both live apart and only tty_control.cpp sees the kernel's.
#pragma once

#include <cstdint>

#include "seriallink/tcomm.h"

namespace seriallink::tty {

struct LineSettings {
    std::uint32_t baudRate = 9600;  // 0 keeps the rate the port has
    int dataBits = 8;               // 5 to 8
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    bool markErrors = false;    // in-band marking of breaks, framing and parity errors
    bool hardwareFlow = false;  // RTS/CTS
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    char xonChar = 17;
    char xoffChar = 19;
};

// The termios fields the settings decide, in the kernel's encoding.
struct TermiosFields {
    std::uint32_t iflag = 0, oflag = 0, cflag = 0, lflag = 0;
    std::uint32_t ispeed = 0, ospeed = 0;
    unsigned char vmin = 0, vtime = 0, vstart = 0, vstop = 0;
};
// A raw binary line with the given settings, built from scratch but for the
// rate, which a baudRate of 0 keeps from `current`.
TermiosFields EncodeLine(const LineSettings& settings, const TermiosFields& current);

// Writes the settings to the port; a refusal goes unreported. (A pty keeps
// only part of them: it always has 8 data bits and no parity.)
void ApplyLine(int fd, const LineSettings& settings);

enum class Queue { Input, Output, Both };
// Drops what the driver holds for the given direction.
void Purge(int fd, Queue queue);

enum class ModemLine { Dtr, Rts };
// False when the driver has no such line (a pseudo-terminal).
bool SetModemLine(int fd, ModemLine line, bool on);
// False when the driver cannot tell; else dsrOn holds the DSR input.
bool ReadDsr(int fd, bool& dsrOn);

// Switches the driver's RS-485 mode (RTS raised while sending); false when
// the driver has none or refused it.
bool SetRs485(int fd, bool enable);

// The driver's interrupt counters; false where it keeps none.
struct Counters {
    int dcd = 0, rng = 0;
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};
bool ReadCounters(int fd, Counters& counters);

// Blocks until carrier detect or ring changes; -1 with errno otherwise.
// Only a signal interrupts it.
int WaitModemChange(int fd);

// Characters still to leave the line: those queued for output, plus one
// while the transmitter is busy; 0 when all is out or the driver cannot tell.
int OutputQueued(int fd);

// A pseudo-terminal has no line: nothing on it can have a framing error.
bool IsPseudoTerminal(int fd);

// Refuses further opens of the device by other users' programs.
void SetExclusive(int fd, bool on);

}  // namespace seriallink::tty
