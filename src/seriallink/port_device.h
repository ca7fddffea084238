// Opening a serial device for the sole use of one component.
#pragma once

#include <string>

#include "seriallink/unique_fd.h"

namespace seriallink {

// "COMn" with n from 1 to 256 names the n-th serial port, /dev/ttyS(n-1);
// any other name is a device path and is used unchanged.
std::string DevicePathFor(const std::string& commName);

class PortDevice {
public:
    // Opens read/write, non-blocking, never as controlling terminal, closed
    // on exec, and exclusively: an advisory lock stops every opener that
    // asks for one (also root and this very process), TIOCEXCL stops other
    // users' programs. Throws ECommsError with the fixed messages.
    static PortDevice Open(const std::string& commName);

    PortDevice(PortDevice&&) = default;
    PortDevice& operator=(PortDevice&&) = default;
    ~PortDevice();  // lifts the exclusivity, then closes (dropping the lock)

    int Fd() const { return fd_.Get(); }

private:
    explicit PortDevice(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

}  // namespace seriallink
