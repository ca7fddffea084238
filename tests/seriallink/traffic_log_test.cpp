// The traffic log: its lines, what it holds of a real exchange on a
// pseudo-terminal, and how it stops by itself when its file can take no
// more while the exchange goes on.
#include "seriallink/traffic_log.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "event_log.h"
#include "pty_pair.h"
#include "traffic_reader.h"

namespace seriallink::test {
namespace {

using namespace std::chrono_literals;

TEST(TrafficLine, ShowsEachKindAfterTheTimes) {
    std::tm t{};  // 2026-12-08 14:03:21.412 in the machine's own time zone
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 14, t.tm_min = 3, t.tm_sec = 21;
    t.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&t)) + 412ms;
    using K = TrafficKind;
    const std::pair<TrafficRecord, std::string> cases[] = {
        {{K::Rx, when, 1532ms, "OK:3\r\n"}, "RX  OK:3\\x0D\\x0A\t4F 4B 3A 33 0D 0A"},
        {{K::Tx, when, 1532ms, std::string("\0 ~\x7F\xFF", 5)},
         "TX  \\x00 ~\\x7F\\xFF\t00 20 7E 7F FF"},
        {{K::LineError, when, 1532ms, "", 12}, "LINE-ERROR  flags 12: parity error, framing error"},
        {{K::LineError, when, 1532ms, "", 83},
         "LINE-ERROR  flags 83: receive queue overflow, overrun, break"},
        {{K::Modem, when, 1532ms, "", 12}, "MODEM  event 12: ring, carrier detect changed"},
        {{K::Open, when, 1532ms, "/dev/ttyS0", 9600, TParity::Space},
         "OPEN  /dev/ttyS0 at 9600 baud, parity Space"},
        {{K::Close, when, 1532ms, ""}, "CLOSE"},
    };
    for (const auto& [record, after] : cases)
        EXPECT_EQ(FormatTrafficLine(record), "2026-12-08 14:03:21.412  +1532 ms  " + after + "\n");
    EXPECT_EQ(TrafficLogFileName("/dev/serial/by-id/usb-FTDI-if00", when),
              "vk630e-usb-FTDI-if00-2026-12-08_14-03-21.log");
    EXPECT_EQ(TrafficLogFileName("/dev/", when), "vk630e-port-2026-12-08_14-03-21.log");
}

TEST(TrafficLog, HoldsTheExchangeAndStopsOnAFullDiskWithoutHarmingIt) {
    const std::string path = ::testing::TempDir() + "traffic-exchange.log";
    std::filesystem::remove(path);
    TrafficLog full("/dev/full");
    PtyPair pty;
    {
        TrafficLog log(path);
        TComm comm;  // closed before the log goes
        EventLog events(comm);
        AimAtPty(comm, pty);
        comm.SetParity(TParity::Even);
        comm.OpenPort();
        comm.SetTrafficTap(&full);  // its first line, the open port's, fails
        pollfd stopped{full.NoticeFd(), POLLIN, 0};
        ASSERT_EQ(::poll(&stopped, 1, 5000), 1);
        pty.Write("VK\r\n");
        ASSERT_TRUE(events.PumpUntilReceived(4, 5000ms));
        comm.SetTrafficTap(&log);
        ASSERT_TRUE(comm.SendBytes("PPPPPP#CHEACK1#", 15) && !comm.SendBytes("", 0));
        pty.Write(std::string("OK\0\xFF", 4));
        ASSERT_TRUE(events.PumpUntilReceived(8, 5000ms));  // a chunk ends at the pause
        pty.Write("\r\n");
        ASSERT_TRUE(events.PumpUntilReceived(10, 5000ms));
        pty.CloseMaster();
        ASSERT_TRUE(events.PumpUntilCount(Kind::Hangup, 1, 5000ms));
        EXPECT_EQ(events.Received(), std::string("VK\r\nOK\0\xFF\r\n", 10));
    }
    EXPECT_EQ(full.TakeStopNotice(),
              "Traffic log stopped: cannot write /dev/full: No space left on device.");
    EXPECT_EQ(full.TakeStopNotice(), std::nullopt) << "the notice comes once";
    std::string all;
    for (const LoggedLine& line : ReadTrafficLog(path)) all += line.kind + " " + line.text + "|";
    EXPECT_EQ(all, "OPEN " + pty.SlavePath() +
                       " at 9600 baud, parity Even|TX PPPPPP#CHEACK1#|RX OK\\x00\\xFF|"
                       "RX \\x0D\\x0A|HANGUP |CLOSE |");
    std::filesystem::remove(path);
}

// Records a chunk whose line is over 4 KiB; the notice the log stops with.
std::string StopNotice(TrafficLog& log) {
    log.Record({TrafficKind::Rx, std::string(2000, 'A')});
    pollfd stop{log.NoticeFd(), POLLIN, 0};
    ::poll(&stop, 1, 5000);
    return log.TakeStopNotice().value_or("still running");
}

TEST(TrafficLog, StopsWhenItsFolderIsRemoved) {
    const std::string folder = ::testing::TempDir() + "traffic-folder";
    std::filesystem::create_directory(folder);
    TrafficLog log(folder + "/a.log");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(StopNotice(log), "Traffic log stopped: " + folder + "/a.log was removed.");
    EXPECT_THROW(TrafficLog{folder + "/a.log"}, std::system_error)
        << "a new one cannot start there";
}

TEST(TrafficLog, IsCreatedForItsOwnerAloneAndNeverThroughALink) {
    namespace fs = std::filesystem;
    const fs::path folder = ::testing::TempDir() + "traffic-links";
    fs::remove_all(folder);
    fs::create_directory(folder);
    std::ofstream(folder / "theirs") << "their lines\n";
    fs::create_symlink(folder / "theirs", folder / "planted.log");
    fs::create_symlink(folder / "absent", folder / "dangling.log");
    const mode_t umaskBefore = ::umask(022);  // the usual one, which lets 0644 through
    EXPECT_NO_THROW(TrafficLog{(folder / "new.log").string()});
    ::umask(umaskBefore);
    EXPECT_EQ(fs::status(folder / "new.log").permissions(), fs::perms(0600));
    fs::create_symlink("loop", folder / "loop");  // a folder no path can pass
    const std::string refused = ": it is a symbolic link; the log is not written through links";
    for (const auto& [name, why] : {std::pair{"planted.log", refused},
                                    {"dangling.log", refused},
                                    {"loop/a.log", ": Too many levels of symbolic links"}}) {
        const std::string path = (folder / name).string();
        try {
            TrafficLog log(path);
            ADD_FAILURE() << path << " was opened";
        } catch (const std::system_error& error) {
            EXPECT_EQ(error.what(), "cannot open " + path + why);
        }
    }
    EXPECT_EQ(fs::file_size(folder / "theirs"), 12u);
    EXPECT_FALSE(fs::exists(folder / "absent"));
    fs::remove_all(folder);
}

// Run in a child by the next test, under a file-size limit of 4 KiB.
TEST(TrafficLog, StopsAtAFileSizeLimitInAChild) {
    const char* path = std::getenv("TRAFFIC_LOG_LIMITED");
    if (path == nullptr) GTEST_SKIP() << "runs in a child of StopsAtAFileSizeLimit";
    TrafficLog log(path);
    EXPECT_EQ(StopNotice(log),
              "Traffic log stopped: cannot write " + std::string(path) + ": File too large.");
}

TEST(TrafficLog, StopsAtAFileSizeLimit) {  // rather than SIGXFSZ ending the child
    const std::string path = ::testing::TempDir() + "traffic-limited.log";
    std::filesystem::remove(path);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(std::system(("TRAFFIC_LOG_LIMITED=" + path + " prlimit --fsize=4096 " + self +
                           " --gtest_filter=*InAChild >/dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(std::filesystem::file_size(path), 4096u);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace seriallink::test
