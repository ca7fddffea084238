// Which device comes back counts as the one that went: links and
// pseudo-terminals made anew in a temporary folder, and the device manager's
// properties fed in as two identical adapters would report them.
#include "ports/device_identity.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

struct Pty {
    Pty() { ::openpty(&master, &slave, name, nullptr, nullptr); }
    ~Pty() { ::close(master), ::close(slave); }
    int master = -1, slave = -1;
    char name[256] = {};
};

// As udev records an FTDI adapter; "" leaves the property out.
ports::UdevProperties Adapter(std::string serialNumber, std::string usbPath) {
    ports::UdevProperties properties{{"ID_SERIAL", "FTDI_FT232R_" + serialNumber}};
    if (!serialNumber.empty()) properties["ID_SERIAL_SHORT"] = serialNumber;
    if (!usbPath.empty()) properties["ID_PATH"] = "pci-0000:00:14.0-usb-0:" + usbPath;
    return properties;
}

TEST(DeviceIdentity, OnlyTheSameAdapterCounts) {
    const struct {
        ports::UdevProperties before, after;
        bool same;
    } rows[] = {
        {Adapter("A10K1", "2:1.0"), Adapter("A10K1", "2:1.0"), true},
        {Adapter("A10K1", "2:1.0"), Adapter("A10K2", "2:1.0"), false},
        {Adapter("A10K1", "2:1.0"), Adapter("A10K1", "3:1.0"), false},
        {Adapter("", "2:1.0"), Adapter("", "2:1.0"), true},
        {Adapter("", "2:1.0"), Adapter("", "3:1.0"), false},
        {Adapter("", ""), Adapter("", ""), false},
        {{}, {}, false},
    };
    Pty tty;
    int number = 0;
    for (const auto& row : rows) {
        const auto identify = [&](const ports::UdevProperties& properties) {
            return ports::DeviceIdentifier({}, [&](dev_t) { return properties; })
                .Identify(tty.name);
        };
        EXPECT_EQ(identify(row.after).SameDeviceAs(identify(row.before)), row.same)
            << "row " << number++;
    }
}

// A stable link is the device whatever udev says; a node made anew differs
// from the one that hung up, even on a pty number used again.
TEST(DeviceIdentity, StableLinksAndNodesMadeAnew) {
    char pattern[] = "/tmp/vk630-identity-XXXXXX";
    ports::PortPlaces places;
    places.byIdDir = ::mkdtemp(pattern);
    places.simulatorLink = places.byIdDir + "-sim";
    const ports::DeviceIdentifier identifier(places, [](dev_t) { return ports::UdevProperties{}; });
    const std::string byId = places.byIdDir + "/usb-FTDI_A10K1-if00-port0";
    for (const std::string& link : {byId, places.simulatorLink}) {
        auto tty = std::make_unique<Pty>();
        fs::create_symlink(tty->name, link);
        const ports::DeviceIdentity before = identifier.Identify(link);
        EXPECT_EQ(identifier.Identify(link).node, before.node) << link;
        tty.reset();
        EXPECT_FALSE(identifier.Identify(link).present()) << link;
        tty = std::make_unique<Pty>();
        fs::remove(link);
        fs::create_symlink(tty->name, link);
        EXPECT_TRUE(identifier.Identify(link).SameDeviceAs(before)) << link;
        EXPECT_NE(identifier.Identify(link).node, before.node) << link;
        EXPECT_FALSE(identifier.Identify(tty->name).SameDeviceAs(identifier.Identify(tty->name)));
    }
    fs::create_symlink(places.simulatorLink, places.byIdDir + "/usb-FTDI_A10K2-if00-port0");
    EXPECT_FALSE(identifier.Identify(places.byIdDir + "/usb-FTDI_A10K2-if00-port0")
                     .SameDeviceAs(identifier.Identify(byId)));
    fs::remove_all(places.byIdDir);
    fs::remove(places.simulatorLink);
}

}  // namespace
