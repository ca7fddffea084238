// Each reason an open fails, built for real on this machine and met as the
// console meets it: the serial component's open fails, and its error number
// goes to the diagnosis. The devices and processes the diagnosis looks at
// come from a device tree and a process table the test lays out; the
// explanation is compared whole.
#include "ports/open_diagnosis.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "fake_system.h"
#include "seriallink/tcomm.h"

namespace {

namespace fs = std::filesystem;
using ports_test::AddDevice;
using ports_test::AddProcess;
using ports_test::WriteFile;

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/vk630-diagnosis-XXXXXX";
        path = ::mkdtemp(pattern);
        fs::permissions(path, fs::perms(0755));  // for a child that has become nobody
        places = {path + "/by-id", path + "/dev", path + "/vk630-sim", path + "/sys",
                  path + "/proc"};
        fs::create_directories(places.sysDir);
        fs::create_directories(places.procDir);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path sys() const { return places.sysDir; }
    fs::path proc() const { return places.procDir; }
    std::string path;
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
    // The slave's open then fails with an I/O error, as a failing adapter's does.
    void LockMaster() const {
        int one = 1;
        ::ioctl(master, TIOCSPTLCK, &one);
    }
    int master = -1, slave = -1;
    std::string path;
};

// What the technician reads after pressing Open on `path`.
std::string OpenAndExplain(const std::string& path, const ports::PortPlaces& places) {
    seriallink::TComm comm;
    comm.SetCommName(path);
    try {
        comm.OpenPort();
    } catch (const seriallink::ECommsError& error) {
        return ports::ExplainOpenFailure(path, error.ErrorNumber(), places);
    }
    return "opened";
}

// `explain` run in a child process that has dropped to nobody (uid 65534)
// with `group` and no other, or that stays root when `asNobody` is false.
std::string InChild(bool asNobody, gid_t group, const std::function<std::string()>& explain) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const std::string text = explain();
        (void)!::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[1024];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    return text;
}

const std::string kModemManagerAdvice =
    "Wait a few seconds and press Open again; if it keeps the port, stop it with \"sudo "
    "systemctl stop ModemManager\".";

std::string HiddenHolder(const std::string& path) {
    return path + " is held by a program you cannot see (another user's, or a system service).";
}

std::string ModemManagerMayHoldIt(pid_t pid) {
    return " ModemManager (process " + std::to_string(pid) +
           ") is running: it tries every new serial device as a possible modem and may be "
           "holding this one. " +
           kModemManagerAdvice;
}

const char kCloseIt[] =
    " Ask the computer's administrator which program it is and have it closed, then press Open "
    "again.";

std::string SystemSays(const std::string& path, const std::string& words) {
    return "The system could not open " + path + ": " + words +
           ". If the port is on an adapter, unplug the adapter and plug it in again, then press "
           "Open.";
}

TEST(OpenDiagnosis, MissingDeviceNamesThePortsPresentAndBrltty) {
    TempDir temp;
    Pty pty;
    // One adapter present; a UART slot without its chip is no port.
    AddDevice(temp.sys(), "usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0", "tty", makedev(188, 0));
    AddDevice(temp.sys(), "platform/serial8250/tty/ttyS1", "tty", makedev(4, 65), {{"type", "0"}});
    WriteFile(temp.path + "/settings.txt", "x");
    fs::create_symlink("/dev/vk630-gone", temp.path + "/dangling");
    const int kOpenIt = -1;
    const struct {
        const char* what;
        std::string path;
        int errorNumber;  // kOpenIt: the component's own
        bool brltty;
    } rows[] = {
        {"NoSuchPath", temp.path + "/no-such-port", kOpenIt, false},
        {"LinkWhoseDeviceHasGone", temp.path + "/dangling", kOpenIt, false},
        {"PathThroughAFile", temp.path + "/settings.txt/port", kOpenIt, false},
        {"NodeOfAnUnpluggedDevice", pty.path, ENODEV, false},
        {"NodeWithoutItsDevice", pty.path, ENXIO, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(temp.proc() / "4242");
        if (row.brltty) AddProcess(temp.proc(), 4242, "brltty", std::nullopt);
        const std::string text =
            row.errorNumber == kOpenIt
                ? OpenAndExplain(row.path, temp.places)
                : ports::ExplainOpenFailure(row.path, row.errorNumber, temp.places);
        std::string expected = "There is no device " + row.path +
                               " on this computer. Serial ports present: " + temp.places.devDir +
                               "/ttyUSB0.";
        if (row.brltty)
            expected +=
                " brltty (the braille display service, process 4242) is running: it takes many "
                "USB serial adapters (CH340, CP210x, FTDI) away as soon as they are plugged in; "
                "if no braille display is used, stop it with \"sudo systemctl mask --now "
                "brltty-udev.service brltty.service\" and plug the adapter in again.";
        EXPECT_EQ(text, expected);
    }
}

TEST(OpenDiagnosis, PathsThatAreNoTerminal) {
    TempDir temp;
    AddDevice(temp.sys(), "virtual/mem/null", "mem", makedev(1, 3));
    const std::string file = temp.path + "/settings.txt";
    WriteFile(file, "not a port");
    ASSERT_EQ(::mkfifo((temp.path + "/pipe").c_str(), 0600), 0);
    fs::create_symlink(temp.path + "/loop", temp.path + "/loop");
    const std::string notAPort = ", not a serial port. Choose a port from the list.";
    const struct {
        std::string path, expected;
    } cases[] = {
        {file, file + " is a regular file" + notAPort},
        {temp.path, temp.path + " is a directory" + notAPort},
        {temp.path + "/pipe", temp.path + "/pipe is a named pipe" + notAPort},
        {"/dev/null", "/dev/null is a device of another kind (mem)" + notAPort},
        {temp.path + "/loop",
         "The system could not open " + temp.path + "/loop: Too many levels of symbolic links."},
    };
    for (const auto& c : cases) EXPECT_EQ(OpenAndExplain(c.path, temp.places), c.expected);
}

enum class Sees { Holder, Nothing, OtherDevice };

struct SeenProcess {
    pid_t pid;
    const char* name;
    Sees sees;  // what its descriptors show this user
};

TEST(OpenDiagnosis, PortHeldByAnotherProgram) {
    Pty pty;
    const std::string path = pty.path;
    const int held = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const struct {
        const char* what;
        std::vector<SeenProcess> processes;
        std::string expected;
    } rows[] = {
        {"OneHolder",
         {{101, "minicom", Sees::Holder}},
         path + " is in use by minicom (process 101). Close that program, then press Open again."},
        {"TwoHolders",
         {{102, "screen", Sees::Holder}, {101, "minicom", Sees::Holder}},
         path + " is in use by minicom (process 101) and screen (process 102). Close those "
                "programs, then press Open again."},
        {"ThreeHolders",
         {{103, "cu", Sees::Holder}, {101, "minicom", Sees::Holder}, {102, "screen", Sees::Holder}},
         path + " is in use by minicom (process 101), screen (process 102) and cu (process 103). "
                "Close those programs, then press Open again."},
        {"ModemManagerHolds",
         {{101, "ModemManager", Sees::Holder}},
         path +
             " is in use by ModemManager (process 101), which tries every new serial device "
             "as a possible modem. " +
             kModemManagerAdvice},
        {"NoVisibleHolder", {{101, "sshd", Sees::Nothing}}, HiddenHolder(path) + kCloseIt},
        {"NoVisibleHolderWhileModemManagerRuns",
         {{101, "sshd", Sees::Nothing}, {102, "ModemManager", Sees::Nothing}},
         HiddenHolder(path) + ModemManagerMayHoldIt(102)},
        // ModemManager's descriptors in view (as root sees them) without the port.
        {"ModemManagerSeenNotHolding",
         {{102, "ModemManager", Sees::OtherDevice}},
         HiddenHolder(path) + kCloseIt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir temp;
        for (const SeenProcess& p : row.processes) {
            std::optional<std::vector<std::string>> fds;
            if (p.sees != Sees::Nothing) fds = {{p.sees == Sees::Holder ? path : "/dev/null"}};
            AddProcess(temp.proc(), p.pid, p.name, fds);
        }
        EXPECT_EQ(OpenAndExplain(path, temp.places), row.expected);
    }
    ::close(held);
}

// A port held by this (root) test process, which a child that became
// nobody cannot see; or a device that fails with an I/O error. A
// ModemManager running as a system service must not take the blame.
TEST(OpenDiagnosis, OtherUsersHolderAndFailingDeviceWithAndWithoutModemManager) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    enum class Failure { Held, IoError };
    const struct {
        const char* what;
        Failure failure;
        bool modemManager;
        bool asNobody;
    } rows[] = {
        {"OtherUsersHolder", Failure::Held, false, true},
        {"OtherUsersHolderWhileModemManagerRuns", Failure::Held, true, true},
        {"HolderSeenByRootWhileModemManagerRuns", Failure::Held, true, false},
        {"IoError", Failure::IoError, false, true},
        {"IoErrorWhileModemManagerRuns", Failure::IoError, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir temp;
        Pty pty;
        ASSERT_EQ(::chmod(pty.path.c_str(), 0666), 0);
        const int held = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
        if (row.failure == Failure::Held) {
            ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
            AddProcess(temp.proc(), ::getpid(), "holder", {{pty.path}});
            fs::permissions(temp.proc() / std::to_string(::getpid()) / "fd", fs::perms(0700));
        } else {
            pty.LockMaster();
        }
        if (row.modemManager) AddProcess(temp.proc(), 7, "ModemManager", std::nullopt);
        std::string expected = SystemSays(pty.path, "Input/output error");
        if (row.failure == Failure::Held) {
            expected = row.asNobody ? HiddenHolder(pty.path) +
                                          (row.modemManager ? ModemManagerMayHoldIt(7) : kCloseIt)
                                    : pty.path + " is in use by holder (process " +
                                          std::to_string(::getpid()) +
                                          "). Close that program, then press Open again.";
        }
        EXPECT_EQ(
            InChild(row.asNobody, 65534, [&] { return OpenAndExplain(pty.path, temp.places); }),
            expected);
        ::close(held);
    }
}

// A built-in port whose open fails: a UART slot without its chip (type 0)
// is told as such, any other is a device that failed.
TEST(OpenDiagnosis, BuiltInPortThatFailsToOpen) {
    for (const char* type : {"0", "4"}) {
        SCOPED_TRACE(type);
        TempDir temp;
        Pty pty;
        struct stat info {};
        ASSERT_EQ(::stat(pty.path.c_str(), &info), 0);
        AddDevice(temp.sys(), "platform/serial8250/tty/ttyS3", "tty", info.st_rdev,
                  {{"type", type}});
        pty.LockMaster();
        EXPECT_EQ(OpenAndExplain(pty.path, temp.places),
                  type == std::string("0")
                      ? pty.path +
                            " is a legacy serial port with no hardware behind it. No "
                            "serial port is present: check that the adapter is plugged in."
                      : SystemSays(pty.path, "Input/output error"));
    }
}

// A pseudo-terminal given the owner, group and mode of each row, opened
// by a child that has dropped to nobody (uid 65534) with the given group.
struct AccessRow {
    const char* name;
    gid_t deviceGroup;
    mode_t mode;
    gid_t sessionGroup;
    std::string expected;  // %P stands for the path
    bool modemManager = false;
};

std::string Replace(std::string text, const std::string& path) {
    for (auto at = text.find("%P"); at != std::string::npos; at = text.find("%P"))
        text.replace(at, 2, path);
    return text;
}

std::string GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

TEST(OpenDiagnosis, PermissionDeniedForAnUnprivilegedUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    const gid_t dialout = ::getgrnam("dialout") ? ::getgrnam("dialout")->gr_gid : 20;
    const gid_t nogroup = 65534;  // nobody's own group in the database
    const std::string dialoutName = GroupName(dialout);
    const std::string notAMember =
        "You (nobody) may not use %P: it belongs to the group " + dialoutName +
        ", and you are not a member. Add yourself with \"sudo usermod -aG " + dialoutName +
        " nobody\", then log out and in again.";
    const AccessRow rows[] = {
        {"GroupTheUserIsNotIn", dialout, 0660, nogroup, notAMember},
        {"GroupTheUserIsNotInWhileModemManagerRuns", dialout, 0660, nogroup, notAMember, true},
        {"GroupInTheDatabaseNotYetInTheSession", nogroup, 0660, 1,
         "%P belongs to the group " + GroupName(nogroup) +
             "; you (nobody) have been added to it, but this login session does not have the "
             "group yet. Log out and in again (or restart the computer), then press Open."},
        {"OwnerOnly", 5, 0620, nogroup,
         "You (nobody) may not read and write %P: it belongs to root (group " + GroupName(5) +
             ", crw--w----), and its permissions give you no access."},
    };
    for (const AccessRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir temp;
        Pty pty;
        if (row.modemManager) AddProcess(temp.proc(), 7, "ModemManager", std::nullopt);
        ASSERT_EQ(::chown(pty.path.c_str(), 0, row.deviceGroup), 0);
        ASSERT_EQ(::chmod(pty.path.c_str(), row.mode), 0);
        EXPECT_EQ(
            InChild(true, row.sessionGroup, [&] { return OpenAndExplain(pty.path, temp.places); }),
            Replace(row.expected, pty.path));
    }
}

}  // namespace
