#include "ports/device_identity.h"

#include <sys/stat.h>

#include "ports/sysfs_devices.h"
#include "seriallink/port_device.h"

namespace ports {
namespace {

std::string Stamp(const struct stat& info) {
    return std::to_string(info.st_ino) + ":" + std::to_string(info.st_ctim.tv_sec) + "." +
           std::to_string(info.st_ctim.tv_nsec);
}

// A pty's number, and with it its inode, comes back for the next pty made;
// the change time does not, so a node made anew always stamps differently.
std::string NodeStamp(const std::string& path, const struct stat& device) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) return "";
    std::string stamp = std::to_string(device.st_rdev) + "/" + Stamp(device);
    if (S_ISLNK(link.st_mode)) stamp += " via " + Stamp(link);
    return stamp;
}

// A serial number tells two adapters of one model apart wherever they are
// plugged in; without one, only the USB port they sit in does.
std::string UsbKey(const UsbDevice& usb) {
    if (usb.vendorId.empty()) return "";
    const std::string model = "usb " + usb.vendorId + ":" + usb.productId;
    if (!usb.serial.empty()) return model + " serial " + usb.serial;
    return model + " at " + usb.socket;
}

}  // namespace

DeviceIdentifier::DeviceIdentifier(PortPlaces places) : places_(std::move(places)) {}

DeviceIdentity DeviceIdentifier::Identify(const std::string& commName) const {
    const std::string path = seriallink::DevicePathFor(commName);
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return {};
    DeviceIdentity identity{"", NodeStamp(path, device)};
    if (path == places_.simulatorLink) {
        identity.key = "link " + path;
    } else if (const auto usb = LookUpCharDevice(places_, device.st_rdev).usb) {
        identity.key = UsbKey(*usb);
    }
    return identity;
}

}  // namespace ports
