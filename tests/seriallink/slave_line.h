// The line settings of a terminal as the kernel holds them, read through a
// descriptor of the test's own (termios2, so any baud rate reads back).
#pragma once

#include <cstdint>

namespace seriallink::test {

struct SlaveLine {
    std::uint32_t baud = 0;
    int dataBits = 0;
    bool twoStopBits = false;
    bool parityOn = false;
    bool parityOdd = false;
    bool stickyParity = false;  // CMSPAR: mark or space
    bool rtsCts = false;
    bool xonOut = false;   // IXON
    bool xoffIn = false;   // IXOFF
    bool marking = false;  // PARMRK
    bool raw = false;      // no echo, no canonical input, no output processing
    char startChar = 0;
    char stopChar = 0;
};

SlaveLine ReadSlaveLine(int fd);
// Sets the rate behind the component's back, to see whether it re-applies.
void SetSlaveBaud(int fd, std::uint32_t baud);
bool ExclusiveMode(int fd);  // TIOCEXCL in force

}  // namespace seriallink::test
