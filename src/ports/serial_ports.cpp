#include "ports/serial_ports.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>

#include "ports/dir_stream.h"
#include "ports/udev_handles.h"

namespace ports {
namespace {

std::string Resolved(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? real.get() : "";
}

void Append(std::string& text, const std::string& part) {
    if (part.empty()) return;
    if (!text.empty()) text += ", ";
    text += part;
}

// Maker, product, serial number, USB ids and kernel name of a tty device.
std::string Describe(udev_device* tty) {
    const std::string kernel = udev::Text(udev_device_get_sysname(tty));
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    std::string text;
    if (usb != nullptr) {
        std::string name = udev::Attribute(usb, "manufacturer");
        const std::string product = udev::Attribute(usb, "product");
        if (!product.empty()) name += (name.empty() ? "" : " ") + product;
        Append(text, name.empty() ? "USB serial adapter" : name);
        const std::string serial = udev::Attribute(usb, "serial");
        if (!serial.empty()) Append(text, "serial number " + serial);
        const std::string vendor = udev::Attribute(usb, "idVendor");
        if (!vendor.empty())
            Append(text, "USB id " + vendor + ":" + udev::Attribute(usb, "idProduct"));
    } else {
        Append(text, "Built-in serial port");
    }
    Append(text, kernel);
    return text;
}

// Adapters on USB and built-in ports with a UART; the legacy ttyS ports
// with nothing behind them report UART type 0, read from the device
// database without opening the port.
bool IsSerialPort(udev_device* tty) {
    if (udev_device_get_devnode(tty) == nullptr) return false;
    const std::string name = udev::Text(udev_device_get_sysname(tty));
    if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) return true;
    if (udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device") != nullptr)
        return true;
    if (name.starts_with("ttyS")) {
        const std::string type = udev::Attribute(tty, "type");
        return !type.empty() && type != "0";
    }
    return false;
}

// Device node (resolved) to description, for every serial device present.
std::map<std::string, std::string> SystemSerialDevices() {
    std::map<std::string, std::string> found;
    udev::Context context(udev_new());
    if (!context) return found;
    udev::Enumerate enumerate(udev_enumerate_new(context.get()));
    if (!enumerate) return found;
    udev_enumerate_add_match_subsystem(enumerate.get(), "tty");
    // Matching names before reading any device keeps this quick among the
    // hundred-odd virtual consoles and ptys; USB adapters with other kernel
    // names are found through their stable names.
    for (const char* name : {"ttyUSB*", "ttyACM*", "ttyS*"})
        udev_enumerate_add_match_sysname(enumerate.get(), name);
    udev_enumerate_scan_devices(enumerate.get());
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        udev::Device tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty || !IsSerialPort(tty.get())) continue;
        found.emplace(udev_device_get_devnode(tty.get()), Describe(tty.get()));
    }
    return found;
}

// The stable names: every link in the directory, with what it points to.
std::vector<std::pair<std::string, std::string>> StableNames(const std::string& dir) {
    std::vector<std::pair<std::string, std::string>> links;
    DirStream stream = OpenDir(dir);
    if (!stream) return links;
    while (const dirent* entry = ::readdir(stream.get())) {
        if (entry->d_name[0] == '.') continue;
        const std::string path = dir + "/" + entry->d_name;
        const std::string target = Resolved(path);
        if (!target.empty()) links.emplace_back(path, target);
    }
    std::sort(links.begin(), links.end());
    return links;
}

}  // namespace

std::vector<SerialPort> ListSerialPorts(const PortPlaces& places) {
    std::map<std::string, std::string> devices = SystemSerialDevices();
    std::vector<SerialPort> ports;
    for (const auto& [link, target] : StableNames(places.byIdDir)) {
        const auto device = devices.find(target);
        if (device != devices.end()) {
            ports.push_back({link, device->second});
            devices.erase(device);
        } else {
            ports.push_back({link, "Serial adapter, " + target});
        }
    }
    for (const auto& [node, description] : devices) ports.push_back({node, description});

    struct stat info {};
    const std::string simulator = Resolved(places.simulatorLink);
    if (!simulator.empty() && ::stat(simulator.c_str(), &info) == 0 && S_ISCHR(info.st_mode))
        ports.push_back(
            {places.simulatorLink, "Simulated VK630-E transmitter (vk630-sim), " + simulator});
    return ports;
}

}  // namespace ports
