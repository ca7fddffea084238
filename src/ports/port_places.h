// The places where the names of serial devices appear, and where the
// system tells about devices and processes. The system's own places by
// default; tests point them at directories they control.
#pragma once

#include <string>

#include "ports/simulator_link.h"

namespace ports {

struct PortPlaces {
    std::string byIdDir = "/dev/serial/by-id";  // stable names of USB adapters
    std::string devDir = "/dev";                // kernel names (ttyUSB0, ttyACM0)
    std::string simulatorLink = SimulatorLinkPath();
    std::string sysDir = "/sys";    // the kernel's device tree
    std::string procDir = "/proc";  // the processes, and the descriptors they hold
};

}  // namespace ports
