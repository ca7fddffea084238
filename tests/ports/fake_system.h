// A kernel device tree and a process table of the test's own making, laid
// out as /sys and /proc are, so that what the code finds does not depend on
// the devices and the programs of the machine the tests run on.
#pragma once

#include <pty.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ports_test {

namespace fs = std::filesystem;

inline void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

// A device at sys/devices/`devicePath`, linked from class/`subsystem` and
// from dev/char/MAJOR:MINOR as the kernel links its own.
inline void AddDevice(const fs::path& sys, const std::string& devicePath,
                      const std::string& subsystem, dev_t number,
                      const std::map<std::string, std::string>& attributes = {}) {
    const fs::path dir = sys / "devices" / devicePath;
    const std::string numbers = std::to_string(major(number)) + ":" + std::to_string(minor(number));
    fs::create_directories(dir);
    fs::create_directories(sys / "class" / subsystem);
    fs::create_directories(sys / "dev/char");
    fs::create_symlink(sys / "class" / subsystem, dir / "subsystem");
    fs::create_symlink(dir, sys / "class" / subsystem / dir.filename());
    fs::create_symlink(dir, sys / "dev/char" / numbers);
    WriteFile(dir / "dev", numbers);
    for (const auto& [name, value] : attributes) WriteFile(dir / name, value);
}

// A pseudo-terminal standing in for an adapter's tty.
struct Pty {
    Pty() {
        char name[256] = {};
        ::openpty(&master, &slave, name, nullptr, nullptr);
        path = name;
    }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
    int master = -1, slave = -1;
    std::string path;
};

// A USB serial adapter as the kernel describes it: the USB device at port
// path `socket` (1-1.2), its interface, and its tty; "" leaves the serial
// number out, as adapters without one have no such attribute.
struct UsbAdapter {
    std::string vendorId, productId, serial, socket;
};

// Makes `node` (a pty standing in for the adapter's tty) the tty of `adapter`.
inline void AddUsbTty(const fs::path& sys, const std::string& node, const UsbAdapter& adapter) {
    struct stat info {};
    ::stat(node.c_str(), &info);
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/" + adapter.socket;
    const std::string tty = "ttyUSB" + std::to_string(minor(info.st_rdev));
    AddDevice(sys, usb + "/" + adapter.socket + ":1.0/" + tty + "/tty/" + tty, "tty", info.st_rdev);
    WriteFile(sys / "devices" / usb / "idVendor", adapter.vendorId);
    WriteFile(sys / "devices" / usb / "idProduct", adapter.productId);
    if (!adapter.serial.empty()) WriteFile(sys / "devices" / usb / "serial", adapter.serial);
}

// A process named `name`; `fds` are the paths its descriptors lead to, and
// without them its descriptors are hidden (as another user's are).
inline void AddProcess(const fs::path& proc, pid_t pid, const std::string& name,
                       const std::optional<std::vector<std::string>>& fds) {
    const fs::path dir = proc / std::to_string(pid);
    WriteFile(dir / "comm", name);
    if (!fds) return;
    fs::create_directories(dir / "fd");
    for (std::size_t i = 0; i < fds->size(); ++i)
        fs::create_symlink((*fds)[i], dir / "fd" / std::to_string(i + 3));
}

}  // namespace ports_test
