// The traffic log's lines and file name, and how it stops by itself when
// its file can take no more, while the owner goes on recording.
#include "seriallink/traffic_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "traffic_reader.h"

extern char** environ;

namespace seriallink::test {
namespace {

using namespace std::chrono_literals;

// 2026-12-08 14:03:21.412 in the machine's own time zone.
std::chrono::system_clock::time_point LocalMoment() {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 14, t.tm_min = 3, t.tm_sec = 21;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t)) + 412ms;
}

TEST(TrafficLine, ShowsEachKindAfterTheTimes) {
    using K = TrafficKind;
    const std::pair<TrafficRecord, std::string> cases[] = {
        {{K::Rx, {}, 1532ms, "BOAT:3,0\r\n"},
         "RX  BOAT:3,0\\x0D\\x0A\t42 4F 41 54 3A 33 2C 30 0D 0A"},
        {{K::Tx, {}, 1532ms, std::string("\0 ~\x7F\x80\xFF", 6)},
         "TX  \\x00 ~\\x7F\\x80\\xFF\t00 20 7E 7F 80 FF"},
        {{K::LineError, {}, 1532ms, "", 12}, "LINE-ERROR  flags 12: parity error, framing error"},
        {{K::LineError, {}, 1532ms, "", 19},
         "LINE-ERROR  flags 19: receive queue overflow, overrun, break"},
        {{K::LineError, {}, 1532ms, "", 64}, "LINE-ERROR  flags 64"},
        {{K::Modem, {}, 1532ms, "", 12}, "MODEM  event 12: ring, carrier detect changed"},
        {{K::Open, {}, 1532ms, "/dev/ttyUSB0", 9600, TParity::Space},
         "OPEN  /dev/ttyUSB0 at 9600 baud, parity Space"},
        {{K::Hangup, {}, 1532ms, ""}, "HANGUP"},
        {{K::Close, {}, 1532ms, ""}, "CLOSE"},
    };
    for (auto [record, after] : cases) {
        record.when = LocalMoment();
        EXPECT_EQ(FormatTrafficLine(record), "2026-12-08 14:03:21.412  +1532 ms  " + after + "\n");
    }
}

TEST(TrafficLine, ProposesAFileNamedAfterThePortAndTheMoment) {
    const auto at = LocalMoment();
    EXPECT_EQ(TrafficLogFileName("/dev/serial/by-id/usb-FTDI_A50-if00-port0", at),
              "vk630e-usb-FTDI_A50-if00-port0-2026-12-08_14-03-21.log");
    EXPECT_EQ(TrafficLogFileName("COM1", at), "vk630e-COM1-2026-12-08_14-03-21.log");
    EXPECT_EQ(TrafficLogFileName("/dev/", at), "vk630e-port-2026-12-08_14-03-21.log");
}

// Records received chunks until the log stops by itself; its notice, once.
std::string Flood(TrafficLog& log) {
    const std::string chunk(1024, 'A');
    pollfd stop{log.NoticeFd(), POLLIN, 0};
    for (int i = 0; i < 100000 && ::poll(&stop, 1, i % 64 == 0 ? 1 : 0) == 0; ++i)
        log.Record({TrafficKind::Rx, chunk});
    const std::string notice = log.TakeStopNotice().value_or("still running");
    EXPECT_TRUE(log.Stopped());
    EXPECT_EQ(log.TakeStopNotice(), std::nullopt) << "the notice comes once";
    EXPECT_EQ(::poll(&stop, 1, 0), 0) << "the notice descriptor is still readable";
    return notice;
}

TEST(TrafficLogStops, WhenItsFolderIsRemoved) {
    TempDir dir;
    const std::string path = dir.path + "/logs/traffic.log";
    std::filesystem::create_directory(dir.path + "/logs");
    TrafficLog log(path);
    std::filesystem::remove_all(dir.path + "/logs");
    EXPECT_EQ(Flood(log), "Traffic log stopped: " + path + " was removed.");
}

TEST(TrafficLogStops, WhenNothingTakesItsLinesAndTheQueueOverflows) {
    TempDir dir;
    const std::string path = dir.path + "/fifo";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    TrafficLog log(path);
    EXPECT_EQ(Flood(log),
              "Traffic log stopped: the disk holding " + path + " does not keep up with the line.");
    ::close(reader);  // the writer's stuck write ends with EPIPE, not with SIGPIPE
}

// Run by the test below, in a child process with a file-size limit.
TEST(TrafficLogStops, InsideAFileSizeLimit) {
    const char* path = std::getenv("TRAFFIC_LOG_LIMITED_PATH");
    if (path == nullptr) GTEST_SKIP() << "runs in a child of AtAFileSizeLimitAndTheProcessLives";
    TrafficLog log(path);
    EXPECT_EQ(Flood(log),
              "Traffic log stopped: cannot write " + std::string(path) + ": File too large.");
}

TEST(TrafficLogStops, AtAFileSizeLimitAndTheProcessLives) {
    TempDir dir;
    const std::string path = dir.path + "/limited.log";
    std::vector<std::string> env = {"TRAFFIC_LOG_LIMITED_PATH=" + path};
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char filter[] = "--gtest_filter=TrafficLogStops.InsideAFileSizeLimit";
    char program[] = "seriallink_tests";
    char* argv[] = {program, filter, nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::execve("/proc/self/exe", argv, envp.data());
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    EXPECT_EQ(std::filesystem::file_size(path), 4096u);
}

}  // namespace
}  // namespace seriallink::test
