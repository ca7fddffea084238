// Tells when a serial device may have come or gone: the system's device
// events for ttys (libudev, where a device manager runs) and the appearance
// and removal of names in the places where ports are listed (inotify). One
// descriptor for the owner's event loop; nothing polls on a timer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ports/port_places.h"

namespace ports {

class DeviceWatcher {
public:
    explicit DeviceWatcher(PortPlaces places = {});
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    // Readable when events are waiting; -1 when no watch could be set up.
    int Fd() const;

    // Reads every waiting event; true when one of them concerns a serial
    // device or a place where their names appear.
    bool Drain();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ports
