#include "ports/sysfs_devices.h"

#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "ports/dir_stream.h"

namespace ports {
namespace {

std::string Resolved(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? real.get() : "";
}

std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// Of an absolute path; "" for one directly below the root.
std::string Parent(const std::string& path) {
    return path.substr(0, path.find_last_of('/'));
}

std::string Attribute(const std::string& deviceDir, const char* name) {
    std::ifstream file(deviceDir + "/" + name);
    std::string line;
    std::getline(file, line);
    return line;
}

bool Has(const std::string& deviceDir, const char* name) {
    return ::access((deviceDir + "/" + name).c_str(), F_OK) == 0;
}

// A tty hangs from a USB interface, which hangs from the USB device; only
// the device carries the vendor id, and its directory is named after the
// port path it sits at.
std::optional<UsbDevice> UsbAbove(const std::string& deviceDir, const std::string& sysRoot) {
    for (std::string dir = Parent(deviceDir); dir.starts_with(sysRoot + "/"); dir = Parent(dir)) {
        if (!Has(dir, "idVendor")) continue;
        return UsbDevice{Attribute(dir, "manufacturer"), Attribute(dir, "product"),
                         Attribute(dir, "serial"),       Attribute(dir, "idVendor"),
                         Attribute(dir, "idProduct"),    BaseName(dir)};
    }
    return std::nullopt;
}

}  // namespace

std::vector<TtyDevice> SerialTtys(const PortPlaces& places) {
    std::vector<TtyDevice> ttys;
    const std::string sysRoot = Resolved(places.sysDir);
    const std::string classDir = places.sysDir + "/class/tty";
    DirStream stream = OpenDir(classDir);
    if (!stream || sysRoot.empty()) return ttys;
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string name = entry->d_name;
        // Matching names before reading any device keeps this quick among
        // the hundred-odd virtual consoles.
        if (!name.starts_with("ttyUSB") && !name.starts_with("ttyACM") && !name.starts_with("ttyS"))
            continue;
        const std::string dir = Resolved(classDir + "/" + name);
        if (dir.empty() || !Has(dir, "dev")) continue;
        ttys.push_back(
            {places.devDir + "/" + name, name, Attribute(dir, "type"), UsbAbove(dir, sysRoot)});
    }
    return ttys;
}

CharDevice LookUpCharDevice(const PortPlaces& places, dev_t device) {
    const std::string dir = Resolved(places.sysDir + "/dev/char/" + std::to_string(major(device)) +
                                     ":" + std::to_string(minor(device)));
    if (dir.empty()) return {};
    return {BaseName(Resolved(dir + "/subsystem")), BaseName(dir), Attribute(dir, "type"),
            UsbAbove(dir, Resolved(places.sysDir))};
}

}  // namespace ports
