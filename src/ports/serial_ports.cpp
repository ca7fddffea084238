#include "ports/serial_ports.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>

#include "ports/dir_stream.h"
#include "ports/sysfs_devices.h"

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
std::string Describe(const TtyDevice& tty) {
    std::string text;
    if (tty.usb) {
        std::string name = tty.usb->manufacturer;
        if (!tty.usb->product.empty()) name += (name.empty() ? "" : " ") + tty.usb->product;
        Append(text, name.empty() ? "USB serial adapter" : name);
        if (!tty.usb->serial.empty()) Append(text, "serial number " + tty.usb->serial);
        if (!tty.usb->vendorId.empty())
            Append(text, "USB id " + tty.usb->vendorId + ":" + tty.usb->productId);
    } else {
        Append(text, "Built-in serial port");
    }
    Append(text, tty.kernelName);
    return text;
}

// Adapters on USB and built-in ports with a UART; the legacy ttyS ports
// with nothing behind them report UART type 0.
bool IsSerialPort(const TtyDevice& tty) {
    if (tty.kernelName.starts_with("ttyS")) return !tty.uartType.empty() && tty.uartType != "0";
    return true;
}

// Device node (resolved) to description, for every serial device present.
std::map<std::string, std::string> SerialDevices(const PortPlaces& places) {
    std::map<std::string, std::string> found;
    for (const TtyDevice& tty : SerialTtys(places)) {
        if (IsSerialPort(tty)) found.emplace(tty.node, Describe(tty));
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
    std::map<std::string, std::string> devices = SerialDevices(places);
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
