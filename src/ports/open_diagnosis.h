// Why a serial port could not be opened, told in one or two plain sentences
// for the technician: the device is missing, the user may not use it,
// another program holds it, it is no serial port at all, or the device
// itself failed. Runs only after an open has failed; looks at the file, the
// group database and the processes this user may see, and never opens the
// device itself (on real hardware that can raise its modem lines).
#pragma once

#include <optional>
#include <string>

#include "ports/port_places.h"
#include "seriallink/tcomm.h"

namespace ports {

// `commName` as the serial component received it ("COM1" names /dev/ttyS0),
// `errorNumber` the system's error of the failed step (ECommsError carries
// it): it decides between a missing device, a refused permission, a port
// another program holds and a device that failed. Empty when nothing tells
// what went wrong.
std::string ExplainOpenFailure(const std::string& commName, int errorNumber,
                               const PortPlaces& places = {});

// The explanation of a failed OpenPort, when its error says that the device
// could not be opened as a serial port; nothing for the component's other
// failures, which no look at the machine explains. Shared by the window's
// error box and vk630e-cli, so that both explain the same failures.
std::optional<std::string> ExplainOpenFailure(const seriallink::ECommsError& error,
                                              const std::string& commName,
                                              const PortPlaces& places = {});

// A message as the error box shows it: a full stop after a last character
// that comes after "." in the character table.
std::string AsTheErrorBoxShowsIt(std::string message);

}  // namespace ports
