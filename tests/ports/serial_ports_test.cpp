// Discovery and device events with the places pointed at a temporary
// directory, in which links to a pseudo-terminal appear and go as an
// adapter's stable name does.
#include "ports/serial_ports.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "fake_system.h"
#include "ports/device_watcher.h"

namespace {

namespace fs = std::filesystem;

// The system's layout in a temporary directory: dev/serial/by-id appears
// only when the first adapter is plugged in.
struct TempPlaces {
    TempPlaces() {
        char pattern[] = "/tmp/vk630-ports-XXXXXX";
        root = ::mkdtemp(pattern);
        places = {root + "/dev/serial/by-id", root + "/dev", root + "/run/vk630-sim", root + "/sys",
                  root + "/proc"};
        fs::create_directories(places.devDir);
        fs::create_directories(root + "/run");
        fs::create_directories(places.sysDir);
    }
    ~TempPlaces() { fs::remove_all(root); }
    std::string root;
    ports::PortPlaces places;
};

using ports_test::Pty;

const ports::SerialPort* Find(const std::vector<ports::SerialPort>& list, const std::string& path) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const ports::SerialPort& p) { return p.path == path; });
    return found == list.end() ? nullptr : &*found;
}

// Waits for the watcher's descriptor, then drains it; true when a change
// that concerns the list was reported.
bool ChangeReported(ports::DeviceWatcher& watcher) {
    pollfd pfd{watcher.Fd(), POLLIN, 0};
    if (::poll(&pfd, 1, 5000) != 1) return false;
    return watcher.Drain();
}

TEST(SerialPorts, LegacyPortsWithoutAUartAreLeftOut) {
    TempPlaces temp;
    const fs::path sys = temp.places.sysDir;
    const std::string dev = temp.places.devDir;
    ports_test::AddDevice(sys, "usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0", "tty", makedev(188, 0));
    for (const auto& [name, value] :
         std::map<std::string, std::string>{{"manufacturer", "FTDI"},
                                            {"product", "FT232R USB UART"},
                                            {"serial", "A10K3XYZ"},
                                            {"idVendor", "0403"},
                                            {"idProduct", "6001"}})
        ports_test::WriteFile(sys / "devices/usb1/1-1" / name, value);
    ports_test::AddDevice(sys, "usb1/1-2/1-2:1.0/tty/ttyACM0", "tty", makedev(166, 0));
    ports_test::WriteFile(sys / "devices/usb1/1-2/idVendor", "2341");
    ports_test::WriteFile(sys / "devices/usb1/1-2/idProduct", "0043");
    ports_test::AddDevice(sys, "platform/serial8250/tty/ttyS0", "tty", makedev(4, 64),
                          {{"type", "4"}});
    ports_test::AddDevice(sys, "platform/serial8250/tty/ttyS1", "tty", makedev(4, 65),
                          {{"type", "0"}});
    ports_test::AddDevice(sys, "platform/serial8250/tty/ttyS2", "tty", makedev(4, 66));
    ports_test::AddDevice(sys, "virtual/tty/tty1", "tty", makedev(4, 1));
    // An adapter half gone: its entry has lost its device number.
    ports_test::AddDevice(sys, "usb1/1-3/1-3:1.0/ttyUSB7/tty/ttyUSB7", "tty", makedev(188, 7));
    fs::remove(sys / "devices/usb1/1-3/1-3:1.0/ttyUSB7/tty/ttyUSB7/dev");
    // Four stable names, which the directory lists in an order of its own.
    fs::create_directories(temp.places.byIdDir);
    const std::string byId = temp.places.byIdDir + "/";
    for (const auto& [name, node] :
         std::map<std::string, std::string>{{"usb-A-if00", "/ttyUSB1"},
                                            {"usb-B-if00", "/ttyUSB2"},
                                            {"usb-FTDI_A10K3XYZ-if00", "/ttyUSB0"},
                                            {"usb-Z-if00", "/ttyUSB3"}}) {
        ports_test::WriteFile(dev + node, "");
        fs::create_symlink(dev + node, byId + name);
    }
    std::vector<ports::SerialPort> expected = {
        {byId + "usb-A-if00", "Serial adapter, " + dev + "/ttyUSB1"},
        {byId + "usb-B-if00", "Serial adapter, " + dev + "/ttyUSB2"},
        {byId + "usb-FTDI_A10K3XYZ-if00",
         "FTDI FT232R USB UART, serial number A10K3XYZ, USB id 0403:6001, ttyUSB0"},
        {byId + "usb-Z-if00", "Serial adapter, " + dev + "/ttyUSB3"},
        {dev + "/ttyACM0", "USB serial adapter, USB id 2341:0043, ttyACM0"},
        {dev + "/ttyS0", "Built-in serial port, ttyS0"},
    };
    // The simulator's link is listed while it leads to a terminal.
    Pty simulator;
    const std::string settings = temp.root + "/settings.txt";
    ports_test::WriteFile(settings, "");
    for (const std::string& target : {settings, temp.root + "/gone", simulator.path}) {
        SCOPED_TRACE(target);
        fs::remove(temp.places.simulatorLink);
        fs::create_symlink(target, temp.places.simulatorLink);
        if (target == simulator.path)
            expected.push_back({temp.places.simulatorLink,
                                "Simulated VK630-E transmitter (vk630-sim), " + simulator.path});
        const auto listed = ports::ListSerialPorts(temp.places);
        ASSERT_EQ(listed.size(), expected.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            EXPECT_EQ(listed[i].path, expected[i].path);
            EXPECT_EQ(listed[i].description, expected[i].description);
        }
    }
}

TEST(SerialPorts, StableNameAndSimulatorLinkComeAndGoWithTheirEvents) {
    TempPlaces temp;
    Pty adapter, simulator;
    ASSERT_FALSE(adapter.path.empty());
    ports::DeviceWatcher watcher(temp.places);
    ASSERT_GE(watcher.Fd(), 0);
    const std::string stable = temp.places.byIdDir + "/usb-FTDI_FT232R_USB_UART_A10K-if00-port0";

    struct Step {
        const char* what;
        std::function<void()> act;
        bool adapterListed;
        bool simulatorListed;
    };
    // udev makes a link under a temporary name and renames it into place.
    const auto renamedIntoPlace = [&](const std::string& target, const std::string& link) {
        fs::create_symlink(target, temp.root + "/run/.tmp-link");
        fs::rename(temp.root + "/run/.tmp-link", link);
    };
    const Step steps[] = {
        {"first adapter: dev/serial, by-id and its link appear one after the other",
         [&] {
             fs::create_directory(temp.root + "/dev/serial");
             ASSERT_TRUE(ChangeReported(watcher));
             fs::create_directory(temp.places.byIdDir);
             ASSERT_TRUE(ChangeReported(watcher));
             renamedIntoPlace(adapter.path, stable);
         },
         true, false},
        {"simulator starts", [&] { renamedIntoPlace(simulator.path, temp.places.simulatorLink); },
         true, true},
        {"adapter pulled", [&] { fs::remove(stable); }, false, true},
        {"simulator ends", [&] { fs::remove(temp.places.simulatorLink); }, false, false},
        {"adapter back", [&] { fs::create_symlink(adapter.path, stable); }, true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_TRUE(ChangeReported(watcher));
        const auto list = ports::ListSerialPorts(temp.places);
        const ports::SerialPort* adapterItem = Find(list, stable);
        EXPECT_EQ(adapterItem != nullptr, step.adapterListed);
        if (adapterItem) {
            EXPECT_NE(adapterItem->description.find(adapter.path), std::string::npos);
        }
        const ports::SerialPort* simItem = Find(list, temp.places.simulatorLink);
        EXPECT_EQ(simItem != nullptr, step.simulatorListed);
        if (simItem) {
            EXPECT_NE(simItem->description.find("vk630-sim"), std::string::npos);
        }
    }

    // Names that are no serial port, in the places watched, change nothing.
    fs::create_directories(temp.places.devDir + "/input");
    std::ofstream(temp.root + "/run/other-file") << "x";
    pollfd pfd{watcher.Fd(), POLLIN, 0};
    if (::poll(&pfd, 1, 200) == 1) {
        EXPECT_FALSE(watcher.Drain());
    }
}

}  // namespace
