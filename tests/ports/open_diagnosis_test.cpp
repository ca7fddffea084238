// Each reason an open fails, built for real on this machine: a missing
// path, a user who may not use the device (a child process that drops to
// nobody), a terminal held by another process, and paths that are no
// terminal. The explanation must name what is wrong and what to do.
#include "ports/open_diagnosis.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "ports/serial_ports.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/vk630-diagnosis-XXXXXX";
        path = ::mkdtemp(pattern);
        places.byIdDir = path + "/by-id";
        places.simulatorLink = path + "/vk630-sim";
    }
    ~TempDir() { fs::remove_all(path); }
    std::string path;
    ports::PortPlaces places;
};

// A program started for the test under a name of the test's choice, ended
// with it.
class Program {
public:
    Program(const std::string& file, std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        // In a group of its own, so that its children (flock's command)
        // end with it and hold no output pipe of the test run.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        if (::posix_spawn(&pid_, file.c_str(), nullptr, &attributes, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawnattr_destroy(&attributes);
    }
    ~Program() {
        if (pid_ <= 0) return;
        ::kill(-pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// Runs the diagnosis for `path` repeatedly until it mentions `needle` (a
// program just started may not hold the port yet).
std::string ExplainOnceItSays(const std::string& path, const ports::PortPlaces& places,
                              const std::string& needle) {
    std::string text;
    for (auto until = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
        text = ports::ExplainOpenFailure(path, places);
        if (text.find(needle) != std::string::npos) break;
    }
    return text;
}

TEST(OpenDiagnosis, MissingPathNamesThePortsPresentAndBrltty) {
    TempDir temp;
    const std::string path = "/dev/vk630-no-such-port";
    std::string expected = "There is no device " + path + " on this computer. ";
    const auto present = ports::ListSerialPorts(temp.places);
    if (present.empty()) {
        expected += "No serial port is present: check that the adapter is plugged in.";
    } else {
        expected += "Serial ports present: ";
        for (std::size_t i = 0; i < present.size(); ++i)
            expected += (i ? ", " : "") + present[i].path;
        expected += ".";
    }
    EXPECT_EQ(ports::ExplainOpenFailure(path, temp.places), expected);

    // A link whose device has gone is missing too.
    fs::create_symlink("/dev/vk630-gone", temp.path + "/dangling");
    EXPECT_EQ(ports::ExplainOpenFailure(temp.path + "/dangling", temp.places)
                  .rfind("There is no device " + temp.path + "/dangling on this computer.", 0),
              0u);

    // A braille service running: the program's name is all that tells it.
    fs::copy_file("/bin/sleep", temp.path + "/brltty");
    Program brltty(temp.path + "/brltty", {"brltty", "30"});
    ASSERT_GT(brltty.pid(), 0);
    const std::string note = " brltty (the braille display service, process " +
                             std::to_string(brltty.pid()) + ") is running";
    const std::string text = ExplainOnceItSays(path, temp.places, note);
    EXPECT_EQ(text.rfind(expected, 0), 0u) << text;
    EXPECT_NE(text.find(note + ": it takes many USB serial adapters (CH340, CP210x, FTDI) away "
                               "as soon as they are plugged in; if no braille display is used, "
                               "stop it with \"sudo systemctl mask --now brltty-udev.service "
                               "brltty.service\" and plug the adapter in again."),
              std::string::npos)
        << text;
}

TEST(OpenDiagnosis, PathsThatAreNoTerminal) {
    TempDir temp;
    const std::string file = temp.path + "/settings.txt";
    std::ofstream(file) << "not a port";
    const struct {
        std::string path;
        std::string kind;
    } cases[] = {
        {file, "a regular file"},
        {temp.path, "a directory"},
        {"/dev/null", "a device of another kind (mem)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ports::ExplainOpenFailure(c.path, temp.places),
                  c.path + " is " + c.kind + ", not a serial port. Choose a port from the list.");
    }
}

TEST(OpenDiagnosis, TerminalHeldByAnotherProgramNamesItAndItsProcess) {
    TempDir temp;
    // flock(1) under ModemManager's name stands in for the modem prober.
    fs::copy_file("/usr/bin/flock", temp.path + "/ModemManager");
    const struct {
        std::string program, name, advice;
    } rows[] = {
        {"/usr/bin/flock", "flock", ". Close that program, then press Open again."},
        {temp.path + "/ModemManager", "ModemManager",
         ", which tries every new serial device as a possible modem. Wait a few seconds and "
         "press Open again; if it keeps the port, stop it with \"sudo systemctl stop "
         "ModemManager\"."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        int master = -1, slave = -1;
        char name[256] = {};
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        Program holder(row.program, {row.name, "-x", "-n", name, "sleep", "30"});
        ASSERT_GT(holder.pid(), 0);
        const std::string expected = " (process " + std::to_string(holder.pid()) + ")";
        const std::string text = ExplainOnceItSays(name, temp.places, expected);
        EXPECT_EQ(text.rfind(std::string(name) + " is in use by " + row.name + expected, 0), 0u)
            << text;
        EXPECT_TRUE(text.ends_with(row.advice)) << text;
        ::close(master);
        ::close(slave);
    }
}

// A pseudo-terminal given the owner, group and mode of each row; the
// diagnosis and an open attempt run in a child process that has dropped
// to nobody (uid 65534) with the given group and no other.
struct AccessRow {
    const char* name;
    gid_t deviceGroup;
    mode_t mode;
    gid_t sessionGroup;
    std::string expected;  // %P stands for the path
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

// In a child that has dropped to nobody (uid 65534) with `group` and no
// other: whether its own open of `path` is refused with EACCES ("EACCES ")
// or not ("opened "), followed by what the diagnosis says there.
std::string AsNobody(const char* path, gid_t group) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const bool refused = ::open(path, O_RDWR | O_NOCTTY) < 0 && errno == EACCES;
        const std::string text =
            (refused ? "EACCES " : "opened ") + ports::ExplainOpenFailure(path, {});
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

TEST(OpenDiagnosis, PermissionDeniedForAnUnprivilegedUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    const gid_t dialout = ::getgrnam("dialout") ? ::getgrnam("dialout")->gr_gid : 20;
    const gid_t nogroup = 65534;  // nobody's own group in the database
    const std::string dialoutName = GroupName(dialout);
    const AccessRow rows[] = {
        {"GroupTheUserIsNotIn", dialout, 0660, nogroup,
         "You (nobody) may not use %P: it belongs to the group " + dialoutName +
             ", and you are not a member. Add yourself with \"sudo usermod -aG " + dialoutName +
             " nobody\", then log out and in again."},
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
        int master = -1, slave = -1;
        char name[256] = {};
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        ASSERT_EQ(::chown(name, 0, row.deviceGroup), 0);
        ASSERT_EQ(::chmod(name, row.mode), 0);
        EXPECT_EQ(AsNobody(name, row.sessionGroup), "EACCES " + Replace(row.expected, name));
        ::close(master);
        ::close(slave);
    }
}

// A desktop user cannot see the descriptors of ModemManager, which runs as
// root: while it runs, it is named as the likely holder of a port that no
// visible program holds.
TEST(OpenDiagnosis, ModemManagerHiddenFromTheUserIsNamedAsTheLikelyHolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    TempDir temp;
    fs::copy_file("/usr/bin/flock", temp.path + "/ModemManager");
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ASSERT_EQ(::chmod(name, 0666), 0);
    Program holder(temp.path + "/ModemManager", {"ModemManager", "-x", "-n", name, "sleep", "30"});
    ASSERT_GT(holder.pid(), 0);
    ASSERT_NE(ExplainOnceItSays(name, temp.places, "ModemManager"), "");
    EXPECT_EQ(AsNobody(name, 65534),
              "opened No program you can see holds " + std::string(name) +
                  ", but ModemManager (process " + std::to_string(holder.pid()) +
                  ") is running: it tries every new serial device as a possible modem and may "
                  "be holding this one. Wait a few seconds and press Open again; if it keeps the "
                  "port, stop it with \"sudo systemctl stop ModemManager\".");
    ::close(master);
    ::close(slave);
}

}  // namespace
