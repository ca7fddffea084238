// Why a serial port could not be opened, told in one or two plain sentences
// for the technician: the device is missing, the user may not use it,
// another program holds it, it is no serial port at all, or the device
// itself failed. Runs only after an open has failed; looks at the file, the
// group database and the processes this user may see, and never opens the
// device itself (on real hardware that can raise its modem lines).
#pragma once

#include <string>

#include "ports/port_places.h"

namespace ports {

// `commName` as the serial component received it ("COM1" names /dev/ttyS0),
// `errorNumber` the system's error of the failed step (ECommsError carries
// it): it decides between a missing device, a refused permission, a port
// another program holds and a device that failed. Empty when nothing tells
// what went wrong.
std::string ExplainOpenFailure(const std::string& commName, int errorNumber,
                               const PortPlaces& places = {});

}  // namespace ports
