// The line settings of a terminal as the kernel holds them, read through a
// descriptor of the test's own, so a test sees what the window handed over.
#pragma once

#include <optional>
#include <string>

namespace console_test {

struct LineSettings {
    unsigned inputSpeed = 0;
    unsigned outputSpeed = 0;
    bool oddParity = false;   // a pty keeps this but drops parity enable
    bool xonXoffOut = false;  // IXON
    bool xonXoffIn = false;   // IXOFF
};

std::optional<LineSettings> ReadLineSettings(const std::string& path);

// True when this process can take the advisory lock that the serial link
// holds while it has the port open.
bool CanLock(const std::string& path);

// Threads of this process right now.
int ThreadCount();

// Descriptors of this process that lead to a terminal device.
int OpenTerminalCount();

}  // namespace console_test
