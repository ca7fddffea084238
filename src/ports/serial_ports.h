// The serial devices present on this machine, as a technician would pick
// them: the stable name of a USB adapter where the system gives it one,
// else its kernel device; built-in ports only where a UART is behind them;
// and the simulated transmitter's link while it runs.
#pragma once

#include <string>
#include <vector>

#include "ports/port_places.h"

namespace ports {

struct SerialPort {
    std::string path;         // the name to open, shown as the list item
    std::string description;  // which adapter it is, for the operator
};

// Sorted: stable names first, then kernel devices, then the simulator.
// Reads the kernel's device tree and the places; opens no device.
std::vector<SerialPort> ListSerialPorts(const PortPlaces& places = {});

}  // namespace ports
