// Which device coming back counts as the one that went: the name opened is a
// link to a pseudo-terminal, and the kernel's device tree, laid out in a
// temporary folder before and after, says which adapter that terminal is.
#include "ports/device_identity.h"

#include <gtest/gtest.h>

#include <optional>

#include "fake_system.h"

namespace {

namespace fs = std::filesystem;
using ports_test::UsbAdapter;

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
     UsbAdapter{"0403", "6015", "", "1-1.2"}, false},
    {"WithoutSerialNumberBackInItsSocket", Opened::KernelName, kNoSerialAt12, kNoSerialAt12, true},
    {"SameSerialNumberInAnotherSocket", Opened::KernelName, kSerialA10K,
     UsbAdapter{"0403", "6001", "A10K", "2-3"}, true},
    {"ByIdLinkPointedAtAnotherDevice", Opened::ByIdLink, kSerialA10K,
     UsbAdapter{"0403", "6001", "B20X", "1-1.2"}, false},
    {"SameSerialNumberFromAnotherMaker", Opened::KernelName, kSerialA10K,
     UsbAdapter{"067b", "6001", "A10K", "1-1.2"}, false},
    {"NoUsbDeviceBehindTheLink", Opened::ByIdLink, std::nullopt, std::nullopt, false},
    {"SimulatorLink", Opened::SimulatorLink, std::nullopt, std::nullopt, true},
};

class DeviceIdentity : public ::testing::TestWithParam<IdentityRow> {};

TEST_P(DeviceIdentity, OnlyTheSameDeviceCounts) {
    const IdentityRow& row = GetParam();
    char pattern[] = "/tmp/vk630-identity-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    // The places with the device tree `tree`, in which `pty` is `adapter`.
    const auto identifier = [&](const char* tree, const ports_test::Pty& pty,
                                const std::optional<UsbAdapter>& adapter) {
        const ports::PortPlaces places{root, root, root + "/vk630-sim", root + "/" + tree};
        fs::create_directories(places.sysDir);
        if (adapter) ports_test::AddUsbTty(places.sysDir, pty.path, *adapter);
        return ports::DeviceIdentifier(places);
    };
    const std::string name = root + (row.by == Opened::ByIdLink     ? "/usb-FTDI-if00-port0"
                                     : row.by == Opened::KernelName ? "/ttyUSB0"
                                                                    : "/vk630-sim");
    const ports_test::Pty then;
    fs::create_symlink(then.path, name);
    const auto before = identifier("sys-before", then, row.before);
    const ports::DeviceIdentity gone = before.Identify(name);
    EXPECT_EQ(before.Identify(name).node, gone.node) << "a node that stays stamps alike";

    // Both terminals live, so the new one has a number of its own.
    ports_test::Pty now;
    fs::remove(name);
    fs::create_symlink(now.path, name);
    const ports::DeviceIdentity back = identifier("sys-after", now, row.after).Identify(name);
    EXPECT_EQ(back.SameDeviceAs(gone), row.same);
    EXPECT_NE(back.node, gone.node);

    // A link whose terminal went, or that leads to no terminal, names no device.
    for (const std::string& target : {root + "/gone", root + "/sys-before"}) {
        fs::remove(name);
        fs::create_symlink(target, name);
        EXPECT_FALSE(before.Identify(name).present()) << target;
    }
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Adapters, DeviceIdentity, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
