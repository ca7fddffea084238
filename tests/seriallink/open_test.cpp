// Opening and closing: the device names, every refusal with its exact
// message, and the exclusive use of an open port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>

#include "pty_pair.h"
#include "seriallink/port_device.h"
#include "seriallink/tcomm.h"
#include "slave_line.h"

namespace seriallink::test {
namespace {

struct NameCase {
    const char* commName;
    const char* path;
};

class DevicePathTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DevicePathTest, MapsPortNumbersAndKeepsPaths) {
    EXPECT_EQ(DevicePathFor(GetParam().commName), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DevicePathTest,
    ::testing::Values(NameCase{"COM1", "/dev/ttyS0"}, NameCase{"COM2", "/dev/ttyS1"},
                      NameCase{"COM10", "/dev/ttyS9"}, NameCase{"COM256", "/dev/ttyS255"},
                      NameCase{"com3", "/dev/ttyS2"}, NameCase{"COM0", "COM0"},
                      NameCase{"COM257", "COM257"}, NameCase{"COM01", "COM01"},
                      NameCase{"COM", "COM"}, NameCase{"COMX", "COMX"}, NameCase{"COM1 ", "COM1 "},
                      NameCase{"/dev/ttyUSB0", "/dev/ttyUSB0"},
                      NameCase{"/dev/serial/by-id/usb-FTDI-if00-port0",
                               "/dev/serial/by-id/usb-FTDI-if00-port0"}));

// A scratch directory with a regular file and a FIFO in it.
class Scratch {
public:
    Scratch() {
        char dir[] = "/tmp/tcomm-open-XXXXXX";
        if (::mkdtemp(dir) == nullptr) throw std::runtime_error("mkdtemp");
        dir_ = dir;
        const int fd = ::open(File().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0 || ::write(fd, "data", 4) != 4) throw std::runtime_error("scratch file");
        ::close(fd);
        if (::mkfifo(Fifo().c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
    }
    ~Scratch() {
        ::unlink(File().c_str());
        ::unlink(Fifo().c_str());
        ::rmdir(dir_.c_str());
    }
    const std::string& Dir() const { return dir_; }
    std::string File() const { return dir_ + "/file"; }
    std::string Fifo() const { return dir_ + "/fifo"; }

private:
    std::string dir_;
};

struct RefusalCase {
    const char* what;
    std::function<std::string(const Scratch&)> path;
    const char* message;
    int errorNumber;  // the system's, carried for the caller's explanation
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, RaisesTheFixedMessageAndStaysClosed) {
    const Scratch scratch;
    TComm comm;
    const std::size_t descriptors = OpenDescriptorCount();
    comm.SetCommName(GetParam().path(scratch));
    try {
        comm.OpenPort();
        FAIL() << "opened " << comm.CommName();
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
        EXPECT_EQ(e.ErrorNumber(), GetParam().errorNumber);
    }
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.SendBytes("x", 1));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);  // the refused file was closed again
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RefusalTest,
    ::testing::Values(RefusalCase{"missing", [](const Scratch& s) { return s.Dir() + "/missing"; },
                                  "Error opening serial port", ENOENT},
                      RefusalCase{"missing_port_number", [](const Scratch&) { return "COM257"; },
                                  "Error opening serial port", ENOENT},
                      RefusalCase{"regular_file", [](const Scratch& s) { return s.File(); },
                                  "File handle is not a comm handle ", ENOTTY},
                      RefusalCase{"directory", [](const Scratch& s) { return s.Dir(); },
                                  "File handle is not a comm handle ", EISDIR},
                      RefusalCase{"fifo", [](const Scratch& s) { return s.Fifo(); },
                                  "File handle is not a comm handle ", ENOTTY},
                      RefusalCase{"dev_null", [](const Scratch&) { return "/dev/null"; },
                                  "File handle is not a comm handle ", ENOTTY}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.what; });

TEST(OpenTest, OpenTwiceIsRefusedAndLeavesThePortOpen) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.OpenPort();
    try {
        comm.OpenPort();
        FAIL() << "opened twice";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "This serial port already opened");
    }
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_TRUE(comm.SendBytes("ok", 2));
    EXPECT_EQ(pty.Read(2, std::chrono::seconds(5)), "ok");
}

TEST(OpenTest, SecondComponentOnTheSamePortIsRefused) {
    PtyPair pty;
    TComm first;
    TComm second;
    first.SetCommName(pty.SlavePath());
    second.SetCommName(pty.SlavePath());
    first.OpenPort();
    try {
        second.OpenPort();
        FAIL() << "second opener got the port";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "Error opening serial port");
        EXPECT_EQ(e.ErrorNumber(), EWOULDBLOCK);  // the first one's lock
    }
    EXPECT_FALSE(second.IsOpen());
    first.ClosePort();
    second.OpenPort();  // free again once the first has closed
    EXPECT_TRUE(second.IsOpen());
}

// Whether another process can take the device as this component does (root
// passes TIOCEXCL, so the lock is what stops it).
bool AnotherProcessGetsThePort(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const bool got = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::_exit(got ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(OpenTest, AnotherProcessIsKeptOutWhileOpen) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.OpenPort();
    EXPECT_TRUE(ExclusiveMode(pty.Slave()));
    EXPECT_FALSE(AnotherProcessGetsThePort(pty.SlavePath()));
    comm.ClosePort();
    EXPECT_FALSE(ExclusiveMode(pty.Slave()));  // left as it was found
    EXPECT_TRUE(AnotherProcessGetsThePort(pty.SlavePath()));
}

TEST(OpenTest, CloseWhenClosedDoesNothingAndReopenWorks) {
    PtyPair pty;
    TComm comm;
    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
    comm.SetCommName(pty.SlavePath());
    for (int round = 0; round < 3; ++round) {
        comm.OpenPort();
        EXPECT_TRUE(comm.IsOpen());
        const std::string text = "round " + std::to_string(round);
        EXPECT_TRUE(comm.SendBytes(text.data(), static_cast<std::uint16_t>(text.size())));
        EXPECT_EQ(pty.Read(text.size(), std::chrono::seconds(5)), text);
        comm.ClosePort();
        EXPECT_FALSE(comm.IsOpen());
        comm.ClosePort();
    }
}

TEST(OpenTest, ConstructorDefaults) {
    const TComm comm;
    EXPECT_EQ(comm.CommName(), "COM2");
    EXPECT_EQ(comm.BaudRate(), 9600u);
    EXPECT_FALSE(comm.ParityCheck());
    EXPECT_FALSE(comm.Outx_CtsFlow());
    EXPECT_FALSE(comm.Outx_DsrFlow());
    EXPECT_EQ(comm.DtrControl(), TDtrControl::DtrEnable);
    EXPECT_FALSE(comm.DsrSensitivity());
    EXPECT_TRUE(comm.TxContinueOnXoff());
    EXPECT_TRUE(comm.Outx_XonXoffFlow());
    EXPECT_TRUE(comm.Inx_XonXoffFlow());
    EXPECT_FALSE(comm.ReplaceWhenParityError());
    EXPECT_FALSE(comm.IgnoreNullChar());
    EXPECT_EQ(comm.RtsControl(), TRtsControl::RtsEnable);
    EXPECT_EQ(comm.XonLimit(), 500);
    EXPECT_EQ(comm.XoffLimit(), 500);
    EXPECT_EQ(comm.ByteSize(), TByteSize::_8);
    EXPECT_EQ(comm.Parity(), TParity::None);
    EXPECT_EQ(comm.StopBits(), TStopBits::_1);
    EXPECT_EQ(comm.XonChar(), 17);
    EXPECT_EQ(comm.XoffChar(), 19);
    EXPECT_EQ(comm.ReplacedChar(), 0);
    EXPECT_EQ(comm.ReadIntervalTimeout(), 100u);
    EXPECT_EQ(comm.ReadTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(comm.ReadTotalTimeoutConstant(), 0u);
    EXPECT_EQ(comm.WriteTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(comm.WriteTotalTimeoutConstant(), 0u);
    EXPECT_FALSE(comm.IsOpen());
}

}  // namespace
}  // namespace seriallink::test
