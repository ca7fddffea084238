// Which device coming back counts as the one that went: the name opened is a
// link to a pseudo-terminal, and the kernel's device tree, laid out in a
// temporary folder before and after, says which adapter that terminal is.
#include "ports/device_identity.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <memory>
#include <optional>

#include "fake_system.h"

namespace {

namespace fs = std::filesystem;
using ports_test::UsbAdapter;

struct Pty {
    Pty() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) path = name;
    }
    ~Pty() { ::close(master), ::close(slave); }
    int master = -1, slave = -1;
    std::string path;
};

enum class Opened { ByIdLink, KernelName, SimulatorLink };

struct IdentityRow {
    const char* name;
    Opened by;
    std::optional<UsbAdapter> before, after;  // none: a terminal the tree does not know
    bool same;
};

const UsbAdapter kNoSerialAt12{"0403", "6001", "", "1-1.2"};
const UsbAdapter kSerialA10K{"0403", "6001", "A10K", "1-1.2"};

const IdentityRow kRows[] = {
    {"OneModelWithoutSerialNumbersInTwoSockets", Opened::ByIdLink, kNoSerialAt12,
     UsbAdapter{"0403", "6001", "", "1-1.3"}, false},
    {"ReplacedInTheSameSocketByAnotherModel", Opened::ByIdLink, kNoSerialAt12,
     UsbAdapter{"10c4", "ea60", "", "1-1.2"}, false},
    {"ReplacedInTheSameSocketByOneOfAnotherMaker", Opened::KernelName, kNoSerialAt12,
     UsbAdapter{"067b", "6001", "", "1-1.2"}, false},
    {"WithoutSerialNumberBackInItsSocket", Opened::KernelName, kNoSerialAt12, kNoSerialAt12, true},
    {"SameSerialNumberInAnotherSocket", Opened::KernelName, kSerialA10K,
     UsbAdapter{"0403", "6001", "A10K", "2-3"}, true},
    {"ByIdLinkPointedAtAnotherDevice", Opened::ByIdLink, kSerialA10K,
     UsbAdapter{"0403", "6001", "B20X", "1-1.2"}, false},
    {"SameSerialNumberOnAnotherModel", Opened::ByIdLink, kSerialA10K,
     UsbAdapter{"0403", "6015", "A10K", "1-1.2"}, false},
    {"NoUsbDeviceBehindTheLink", Opened::ByIdLink, std::nullopt, std::nullopt, false},
    {"SimulatorLink", Opened::SimulatorLink, std::nullopt, std::nullopt, true},
};

class DeviceIdentity : public ::testing::TestWithParam<IdentityRow> {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vk630-identity-XXXXXX";
        root_ = ::mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(root_); }

    // The places with the device tree `tree`, in which `pty` is `adapter`.
    ports::PortPlaces Places(const std::string& tree, const Pty& pty,
                             const std::optional<UsbAdapter>& adapter) const {
        ports::PortPlaces places{root_ + "/by-id", root_ + "/dev", root_ + "/vk630-sim",
                                 root_ + "/" + tree, root_ + "/proc"};
        fs::create_directories(places.sysDir);
        if (adapter) ports_test::AddUsbTty(places.sysDir, pty.path, *adapter);
        return places;
    }

    std::string root_;
};

TEST_P(DeviceIdentity, OnlyTheSameDeviceCounts) {
    const IdentityRow& row = GetParam();
    fs::create_directories(root_ + "/by-id");
    fs::create_directories(root_ + "/dev");
    const std::string name = row.by == Opened::ByIdLink     ? root_ + "/by-id/usb-FTDI-if00-port0"
                             : row.by == Opened::KernelName ? root_ + "/dev/ttyUSB0"
                                                            : root_ + "/vk630-sim";
    auto then = std::make_unique<Pty>();
    fs::create_symlink(then->path, name);
    const ports::DeviceIdentifier before(Places("sys-before", *then, row.before));
    const ports::DeviceIdentity gone = before.Identify(name);
    EXPECT_EQ(before.Identify(name).node, gone.node) << "a node that stays stamps alike";

    // Both terminals live, so the new one has a number of its own.
    Pty now;
    fs::remove(name);
    fs::create_symlink(now.path, name);
    const ports::DeviceIdentity back =
        ports::DeviceIdentifier(Places("sys-after", now, row.after)).Identify(name);
    EXPECT_EQ(back.SameDeviceAs(gone), row.same);
    EXPECT_TRUE(back.present());
    EXPECT_NE(back.node, gone.node);

    then.reset();  // a terminal that goes is no device at all
    fs::remove(name);
    fs::create_symlink(root_ + "/dev/gone", name);
    EXPECT_FALSE(before.Identify(name).present());
}

INSTANTIATE_TEST_SUITE_P(Adapters, DeviceIdentity, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
