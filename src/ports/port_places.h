// The places where the names of serial devices appear. The system's own
// places by default; tests point them at directories they control.
#pragma once

#include <string>

#include "ports/simulator_link.h"

namespace ports {

struct PortPlaces {
    std::string byIdDir = "/dev/serial/by-id";  // stable names of USB adapters
    std::string devDir = "/dev";                // kernel names (ttyUSB0, ttyACM0)
    std::string simulatorLink = SimulatorLinkPath();
};

}  // namespace ports
