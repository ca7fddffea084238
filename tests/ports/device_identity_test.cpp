// Which device coming back counts as the one that went: udev's properties fed
// in as two identical adapters report them, and links and pseudo-terminals
// made anew in a temporary folder.
#include "ports/device_identity.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

// As udev records an FTDI adapter at a USB port; "" leaves the property out.
ports::UdevLookup Adapter(std::string serialNumber, std::string usbPort) {
    ports::UdevProperties properties{{"ID_SERIAL", "FTDI_FT232R_" + serialNumber}};
    if (!serialNumber.empty()) properties["ID_SERIAL_SHORT"] = serialNumber;
    if (!usbPort.empty()) properties["ID_PATH"] = "pci-0000:00:14.0-usb-0:" + usbPort;
    return [properties](dev_t) { return properties; };
}

// Whether `name` leads to the same device when udev's record changes.
bool SameAfter(const std::string& name, const ports::UdevLookup& before,
               const ports::UdevLookup& after, ports::PortPlaces places = {}) {
    const auto then = ports::DeviceIdentifier(places, before).Identify(name);
    return ports::DeviceIdentifier(places, after).Identify(name).SameDeviceAs(then);
}

TEST(DeviceIdentity, OnlyTheSameAdapterCounts) {
    int master = -1, slave = -1;
    char tty[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, tty, nullptr, nullptr), 0);
    EXPECT_TRUE(SameAfter(tty, Adapter("A1", "2:1.0"), Adapter("A1", "2:1.0")));
    EXPECT_FALSE(SameAfter(tty, Adapter("A1", "2:1.0"), Adapter("A2", "2:1.0")));
    EXPECT_FALSE(SameAfter(tty, Adapter("A1", "2:1.0"), Adapter("A1", "3:1.0")));
    EXPECT_TRUE(SameAfter(tty, Adapter("", "2:1.0"), Adapter("", "2:1.0")));
    EXPECT_FALSE(SameAfter(tty, Adapter("", "2:1.0"), Adapter("", "3:1.0")));
    EXPECT_FALSE(SameAfter(tty, Adapter("", ""), Adapter("", "")));

    // A stable link is its device whatever udev says; the node made anew
    // differs from the one that hung up, even on a pty number used again.
    char pattern[] = "/tmp/vk630-identity-XXXXXX";
    ports::PortPlaces places;
    places.byIdDir = ::mkdtemp(pattern);
    places.simulatorLink = places.byIdDir + ".sim";
    const ports::DeviceIdentifier identifier(places, Adapter("", ""));
    for (const std::string& link : {places.byIdDir + "/usb-A1", places.simulatorLink}) {
        std::filesystem::create_symlink(tty, link);
        const ports::DeviceIdentity before = identifier.Identify(link);
        EXPECT_TRUE(identifier.Identify(link).SameDeviceAs(before)) << link;
        std::filesystem::create_symlink(tty, link + "2");  // by-id: another serial number
        EXPECT_FALSE(identifier.Identify(link + "2").SameDeviceAs(before)) << link;
        ::close(master), ::close(slave);
        EXPECT_FALSE(identifier.Identify(link).SameDeviceAs(before)) << link;
        ASSERT_EQ(::openpty(&master, &slave, tty, nullptr, nullptr), 0);
        std::filesystem::remove(link);
        std::filesystem::create_symlink(tty, link);
        EXPECT_NE(identifier.Identify(link).node, before.node) << link;
        EXPECT_TRUE(identifier.Identify(link).SameDeviceAs(before)) << link;
    }
    struct stat null {};
    ::stat("/dev/null", &null);  // the system's own lookup reads the device's record
    EXPECT_EQ(ports::SystemUdevProperties(null.st_rdev)["DEVNAME"], "/dev/null");
    ::close(master), ::close(slave);
    std::filesystem::remove_all(places.byIdDir);
    std::filesystem::remove(places.simulatorLink);
    std::filesystem::remove(places.simulatorLink + "2");
}

}  // namespace
