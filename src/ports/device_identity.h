// What tells the device behind a port name from every other one, so that a
// port whose device went away is opened again only on that very device. A
// name proves nothing: udev gives two adapters of one model without serial
// numbers the same by-id link, and another adapter may take a kernel name
// or a USB port. So the identity is read from the device the name leads to,
// as the kernel's device tree describes it: the USB vendor and product id
// with the adapter's serial number, or, for an adapter that has none, with
// the USB port it is plugged into. The simulator's link is its own device.
// Looks at files only; opens nothing.
#pragma once

#include <string>

#include "ports/port_places.h"

namespace ports {

struct DeviceIdentity {
    // Equal only for the same device; empty when the device cannot be told
    // apart from another that might take its name.
    std::string key;
    // Differs each time the device node is made anew; empty while no
    // serial device is there.
    std::string node;

    bool present() const { return !node.empty(); }
    bool SameDeviceAs(const DeviceIdentity& other) const {
        return present() && !key.empty() && key == other.key;
    }
};

class DeviceIdentifier {
public:
    explicit DeviceIdentifier(PortPlaces places);

    // `commName` as the serial component receives it.
    DeviceIdentity Identify(const std::string& commName) const;

private:
    PortPlaces places_;
};

}  // namespace ports
