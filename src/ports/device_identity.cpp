#include "ports/device_identity.h"

#include <sys/stat.h>

#include "ports/udev_handles.h"
#include "seriallink/port_device.h"

namespace ports {
namespace {

std::string Stamp(const struct stat& info) {
    return std::to_string(info.st_ino) + ":" + std::to_string(info.st_ctim.tv_sec) + "." +
           std::to_string(info.st_ctim.tv_nsec);
}

// A pty's number, and with it its inode, comes back for the next pty made;
// the change time does not, so a node made anew always stamps differently.
std::string NodeStamp(const std::string& path) {
    struct stat link {};
    struct stat device {};
    if (::lstat(path.c_str(), &link) != 0 || ::stat(path.c_str(), &device) != 0 ||
        !S_ISCHR(device.st_mode))
        return "";
    std::string stamp = std::to_string(device.st_rdev) + "/" + Stamp(device);
    if (S_ISLNK(link.st_mode)) stamp += " via " + Stamp(link);
    return stamp;
}

bool IsStableLink(const std::string& path, const PortPlaces& places) {
    return path == places.simulatorLink || path.starts_with(places.byIdDir + "/");
}

std::string Property(const UdevProperties& properties, const std::string& name) {
    const auto found = properties.find(name);
    return found == properties.end() ? "" : found->second;
}

// Two identical adapters differ by serial number, where they report one,
// and always by the USB port they sit in; one without a serial number can
// be told only by its port.
std::string UsbKey(const UdevProperties& properties) {
    const std::string usbPath = Property(properties, "ID_PATH");
    const bool hasSerialNumber = !Property(properties, "ID_SERIAL_SHORT").empty();
    if (!hasSerialNumber && usbPath.empty()) return "";
    return "usb " + (hasSerialNumber ? Property(properties, "ID_SERIAL") : "") + " at " + usbPath;
}

}  // namespace

UdevProperties SystemUdevProperties(dev_t device) {
    UdevProperties properties;
    udev::Context context(udev_new());
    if (!context) return properties;
    udev::Device entry(udev_device_new_from_devnum(context.get(), 'c', device));
    if (!entry) return properties;
    udev_list_entry* item = nullptr;
    udev_list_entry_foreach(item, udev_device_get_properties_list_entry(entry.get())) {
        properties.emplace(udev::Text(udev_list_entry_get_name(item)),
                           udev::Text(udev_list_entry_get_value(item)));
    }
    return properties;
}

DeviceIdentifier::DeviceIdentifier(PortPlaces places, UdevLookup lookup)
    : places_(std::move(places)), lookup_(std::move(lookup)) {}

DeviceIdentity DeviceIdentifier::Identify(const std::string& commName) const {
    const std::string path = seriallink::DevicePathFor(commName);
    DeviceIdentity identity{"", NodeStamp(path)};
    if (IsStableLink(path, places_)) {
        identity.key = "link " + path;
    } else if (identity.present()) {
        struct stat device {};
        if (::stat(path.c_str(), &device) == 0) identity.key = UsbKey(lookup_(device.st_rdev));
    }
    return identity;
}

}  // namespace ports
