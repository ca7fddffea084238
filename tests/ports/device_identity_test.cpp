// Which device coming back counts as the one that went: udev's properties fed
// in as two identical adapters report them, and links and pseudo-terminals
// made anew in a temporary folder.
#include "ports/device_identity.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

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
    };
    Pty tty;
    for (const auto& row : rows) {
        const auto identify = [&](const ports::UdevProperties& properties) {
            return ports::DeviceIdentifier({}, [&](dev_t) { return properties; })
                .Identify(tty.name);
        };
        EXPECT_EQ(identify(row.after).SameDeviceAs(identify(row.before)), row.same)
            << "row " << &row - rows;
    }
}

// A stable link is the device whatever udev says (here: nothing); a node made
// anew differs from the one that hung up, even on a pty number used again.
TEST(DeviceIdentity, StableLinksAndNodesMadeAnew) {
    char pattern[] = "/tmp/vk630-identity-XXXXXX";
    ports::PortPlaces places;
    places.byIdDir = ::mkdtemp(pattern);
    places.simulatorLink = places.byIdDir + ".sim";
    const ports::DeviceIdentifier identifier(places, [](dev_t) { return ports::UdevProperties{}; });
    for (const std::string& link : {places.byIdDir + "/usb-FTDI_A10K1", places.simulatorLink}) {
        auto tty = std::make_unique<Pty>();
        std::filesystem::create_symlink(tty->name, link);
        const ports::DeviceIdentity before = identifier.Identify(link);
        EXPECT_EQ(identifier.Identify(link).node, before.node) << link;
        tty.reset();
        EXPECT_FALSE(identifier.Identify(link).SameDeviceAs(before)) << link;
        tty = std::make_unique<Pty>();
        std::filesystem::remove(link);
        std::filesystem::create_symlink(tty->name, link);
        EXPECT_TRUE(identifier.Identify(link).SameDeviceAs(before)) << link;
        EXPECT_NE(identifier.Identify(link).node, before.node) << link;
        EXPECT_FALSE(identifier.Identify(tty->name).SameDeviceAs(identifier.Identify(tty->name)));
        std::filesystem::create_symlink(tty->name, link + "2");
        EXPECT_FALSE(identifier.Identify(link + "2").SameDeviceAs(before)) << link;
    }
    struct stat null {};
    ::stat("/dev/null", &null);  // the system's own lookup: the device's record
    EXPECT_EQ(ports::SystemUdevProperties(null.st_rdev)["DEVNAME"], "/dev/null");
    std::filesystem::remove_all(places.byIdDir);
    std::filesystem::remove(places.simulatorLink);
    std::filesystem::remove(places.simulatorLink + "2");
}

}  // namespace
