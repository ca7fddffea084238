// Discovery and device events with the places pointed at a temporary
// directory, in which links to a pseudo-terminal appear and go as an
// adapter's stable name does.
#include "ports/serial_ports.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "ports/device_watcher.h"

namespace {

namespace fs = std::filesystem;

struct TempPlaces {
    TempPlaces() {
        char pattern[] = "/tmp/vk630-ports-XXXXXX";
        root = ::mkdtemp(pattern);
        places.byIdDir = root + "/serial/by-id";
        places.devDir = root + "/dev";
        places.simulatorLink = root + "/run/vk630-sim";
        fs::create_directories(root + "/serial");
        fs::create_directories(places.devDir);
        fs::create_directories(root + "/run");
    }
    ~TempPlaces() { fs::remove_all(root); }
    std::string root;
    ports::PortPlaces places;
};

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
    for (const ports::SerialPort& port : ports::ListSerialPorts(TempPlaces().places)) {
        const std::string name = fs::path(port.path).filename();
        if (name.rfind("ttyS", 0) != 0) continue;
        std::string type;
        std::getline(*std::make_unique<std::ifstream>("/sys/class/tty/" + name + "/type"), type);
        EXPECT_NE(type, "0") << port.path;
        EXPECT_NE(port.description.find(name), std::string::npos) << port.description;
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
    const Step steps[] = {
        {"by-id directory and link appear",
         [&] {
             fs::create_directories(temp.places.byIdDir);
             ASSERT_TRUE(ChangeReported(watcher));  // the directory itself
             fs::create_symlink(adapter.path, stable);
         },
         true, false},
        {"simulator starts", [&] { fs::create_symlink(simulator.path, temp.places.simulatorLink); },
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
