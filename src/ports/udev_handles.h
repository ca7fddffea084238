// Owning handles for libudev's reference-counted objects.
#pragma once

#include <libudev.h>

#include <memory>
#include <string>

namespace ports::udev {

struct Unref {
    void operator()(struct udev* p) const { udev_unref(p); }
    void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
    void operator()(udev_device* p) const { udev_device_unref(p); }
    void operator()(udev_monitor* p) const { udev_monitor_unref(p); }
};

using Context = std::unique_ptr<struct udev, Unref>;
using Enumerate = std::unique_ptr<udev_enumerate, Unref>;
using Device = std::unique_ptr<udev_device, Unref>;
using Monitor = std::unique_ptr<udev_monitor, Unref>;

// A device attribute as text; empty when the device lacks it.
inline std::string Attribute(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

inline std::string Text(const char* value) {
    return value ? value : "";
}

}  // namespace ports::udev
