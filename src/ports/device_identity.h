// What tells the device behind a port name from every other one, so that a
// port whose device went away is opened again only on that very device:
// the stable link it was opened by (a by-id link carries the adapter's
// serial number; the simulator's link is its own), else the adapter's USB
// serial number and the USB port it sits in, as the device manager records
// them. Looks at files and the device database only; opens nothing.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>

#include "ports/port_places.h"

namespace ports {

// The device manager's properties of a character device (ID_SERIAL, ...).
using UdevProperties = std::map<std::string, std::string>;
using UdevLookup = std::function<UdevProperties(dev_t device)>;

// From the device database of this machine; empty where it has no record.
UdevProperties SystemUdevProperties(dev_t device);

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
    explicit DeviceIdentifier(PortPlaces places, UdevLookup lookup = SystemUdevProperties);

    // `commName` as the serial component receives it.
    DeviceIdentity Identify(const std::string& commName) const;

private:
    PortPlaces places_;
    UdevLookup lookup_;
};

}  // namespace ports
