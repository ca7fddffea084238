#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_file.h"
#include "sim_process.h"

extern char** environ;

namespace {

using ::testing::HasSubstr;
using vk630sim::testing::SimProcess;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Starts vk630e-cli with its output in files of `dir` (standard error on
// `errPath` when given), behind `wrapper` (a program and its arguments)
// when one is given.
pid_t StartCli(const std::string& dir, std::vector<std::string> args,
               const std::string& errPath = {}, std::vector<std::string> wrapper = {}) {
    std::vector<std::string> command = std::move(wrapper);
    command.push_back(VK630E_CLI_PATH);
    command.insert(command.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : command) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = dir + "/cli.out", err = errPath.empty() ? dir + "/cli.err" : errPath;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Waits for a started vk630e-cli; a run that outlives a minute is killed
// and fails.
Result FinishCli(pid_t pid, const std::string& dir, const std::string& errPath = {}) {
    Result result;
    if (pid < 0) return result;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > limit) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << "vk630e-cli did not end";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFile(dir + "/cli.out");
    if (errPath.empty())
        result.err = ReadFile(dir + "/cli.err");  // a terminal is read by its caller
    return result;
}

Result RunCli(const std::string& dir, std::vector<std::string> args,
              const std::string& errPath = {}, std::vector<std::string> wrapper = {}) {
    return FinishCli(StartCli(dir, std::move(args), errPath, std::move(wrapper)), dir, errPath);
}

// What the terminal of `master` has been shown so far.
std::string Shown(int master) {
    std::string shown;
    char bytes[4096];
    for (pollfd ready{master, POLLIN, 0}; ::poll(&ready, 1, 0) == 1;) {
        const ssize_t n = ::read(master, bytes, sizeof bytes);
        if (n <= 0) break;
        shown.append(bytes, static_cast<std::size_t>(n));
    }
    return shown;
}

// Frames the simulator received, from its log.
int FramesReceived(const SimProcess& sim) {
    std::istringstream log(sim.Log());
    int frames = 0;
    for (std::string line; std::getline(log, line);)
        frames += line.find(" rx ") != std::string::npos;
    return frames;
}

// A unit unlike the simulator's start, every value in the width the device
// stores it, so that reading it back gives the same texts.
settings::SettingsFile Unit() {
    settings::Fields f = settings::WindowDefaults();
    f.indices = {{"MR485BT", 2}, {"MR485JN", 2}, {"MAD1USE", 2},  {"MAD1XIN", 12}, {"MAD2USE", 3},
                 {"MAD2XIN", 5}, {"MAD3USE", 0}, {"MAD3XIN", 22}, {"COMAD1", 1},   {"COMAD2", 0}};
    const std::pair<const char*, const char*> texts[] = {
        {"JTME", "033"},      {"ADRM", "005"},
        {"DAO1H", "1.500"},   {"DAO1L", "200.0"},
        {"DAO2H", "-10.0"},   {"DAO2L", "50.00"},
        {"MAD1MADR", "007"},  {"MAD1DADR", "4"},
        {"MAD1XS", "000002"}, {"DataQY1", "-0001"},
        {"MAD2MADR", "100"},  {"MAD3MADR", "001"},
        {"MAD3DADR", "9"},    {"COMDDATA1", "010300000002C40B"},
        {"ACOMBY2", "04"},    {"COMDDATA2", ""},
        {"BCOMBY1", "0A"},    {"BCOMBY3", "0C"}};
    for (const auto& [control, text] : texts) f.texts[control] = text;
    return {"2026-12-08T14:00:00+00:00", "1.0", f};
}

std::string WithoutSaved(const std::string& text) {
    std::istringstream lines(text);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.find("\"saved\"") == std::string::npos) kept += line + "\n";
    return kept;
}

TEST(Cli, AFileWrittenIsWhatTheDeviceHoldsAndReadsBack) {
    SimProcess sim({});
    const std::string file = sim.Dir() + "/unit.json";
    WriteFile(file, settings::WriteSettings(Unit()));

    const Result write =
        RunCli(sim.Dir(), {"write", file, "--port", sim.LinkPath(), "--set", "address=018"});
    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.out, "All 38 settings verified on " + sim.LinkPath() + "\n");
    EXPECT_EQ(write.err, "");  // no progress where standard error is no terminal

    const std::string back = sim.Dir() + "/back.json";
    const Result read = RunCli(sim.Dir(), {"read", "--port", sim.LinkPath(), "-o", back});
    EXPECT_EQ(read.status, 0) << read.err;
    settings::SettingsFile expected = Unit();
    expected.fields.texts["ADRM"] = "018";
    EXPECT_EQ(WithoutSaved(ReadFile(back)), WithoutSaved(settings::WriteSettings(expected)));

    const std::string log = sim.Dir() + "/traffic.log";
    const Result send = RunCli(sim.Dir(), {"send", "PPPPPP#COMP02#", "--port", sim.LinkPath(),
                                           "--baud", "4800", "--log", log});
    EXPECT_EQ(send.status, 0);
    EXPECT_EQ(send.out, "COMP02:0A030C\r\n");
    const std::string logged = ReadFile(log);
    EXPECT_THAT(logged, ::testing::ContainsRegex("  OPEN  .*\n.*  TX  PPPPPP#COMP02#\t50 "
                                                 ".*\n.*  RX  COMP02:0A030C\\\\x0D\\\\x0A\t.*\n"
                                                 ".*  CLOSE\n$"));
    EXPECT_EQ(RunCli(sim.Dir(), {"send", "x", "--port", sim.LinkPath(), "--log", sim.Dir()}).status,
              7);  // a file that could not be written
    EXPECT_THAT(sim.Log(), HasSubstr("the console's line is set to 4800 baud"));

    // On a terminal the run shows where it is, and clears the line at the end.
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const Result verify =
        RunCli(sim.Dir(), {"verify", back, "--port", sim.LinkPath()}, ::ttyname(slave));
    EXPECT_EQ(verify.status, 0);
    const std::string shown = Shown(master);
    EXPECT_THAT(shown, HasSubstr("\r\033[KReading back 2 of 5: command 1"));
    EXPECT_THAT(shown, ::testing::EndsWith("command 2 parse\r\033[K"));
    ::close(slave);
    ::close(master);
}

TEST(Cli, ExitStatusSaysWhatHappenedAndNothingIsSentAfterAFailure) {
    const std::string good = settings::WriteSettings(Unit());
    struct Case {
        const char* what;
        std::optional<std::vector<std::string>> simArgs;  // none: no simulator
        std::string file;
        std::vector<std::string> args;  // "PORT" and "FILE" stand for the paths
        int status;
        std::string message;  // in standard error, or standard output for 0 and 4
        int maxFrames;
        std::vector<std::string> wrapper = {};
    };
    std::string twoPoints = good;
    twoPoints.replace(twoPoints.find("\"000002\""), 8, "\"-8.0.0\"");
    std::string smuggling = good;
    smuggling.replace(smuggling.find("\"005\""), 5, "\"017#TEKVAR#JTM:999\"");
    std::string newer = good;
    newer.replace(newer.find("\"version\": 1"), 12, "\"version\": 2");
    const Case cases[] = {
        {"differences",
         std::vector<std::string>{},
         good,
         {"verify", "FILE", "--port", "PORT"},
         4,
         "device.address",
         5},
        // Without a read-back only the replies tell a refusal from an acceptance.
        {"written unverified",
         std::vector<std::string>{},
         twoPoints,
         {"write", "FILE", "--port", "PORT", "--no-verify"},
         0,
         "\naddress: OK\npolling 1: ERR:ZDAD01 coefficient value\npolling 2: OK\n",
         13},
        // The old file stays whole, and no half-written one is left beside it.
        {"-o past a size limit",
         std::vector<std::string>{},
         good,
         {"read", "--port", "PORT", "-o", "DIR/old.json"},
         7,
         "/old.json: cannot be written: File too large",
         5,
         {"prlimit", "--fsize=300", "--"}},
        {"no port", std::nullopt, good, {"write", "FILE"}, 1, "--port is required", 0},
        {"bad --set",
         std::vector<std::string>{},
         good,
         {"write", "FILE", "--port", "PORT", "--set", "parity=none"},
         1,
         "--set parity=none: expected one of \"None\", \"Odd\", \"Even\", or null",
         0},
        {"port won't open",
         std::nullopt,
         good,
         {"write", "FILE", "--port", "/dev/vk630-none"},
         2,
         "/dev/vk630-none: Error opening serial port.\nThere is no device /dev/vk630-none",
         0},
        {"no reply",
         std::vector<std::string>{"--silent"},
         good,
         {"write", "FILE", "--port", "PORT"},
         3,
         "within 2 s; 0 of 18 frames were answered; device line got no answer.",
         1},
        {"hang-up",
         std::vector<std::string>{"--hangup-after", "5"},
         good,
         {"write", "FILE", "--port", "PORT"},
         3,
         " hung up; 5 of 18 frames were answered; the last was polling 2; polling 3 got no "
         "answer.",
         6},
        // The device refuses the whole frame of a value it cannot store.
        {"refused value",
         std::vector<std::string>{},
         twoPoints,
         {"write", "FILE", "--port", "PORT"},
         4,
         "\npolling[0].start        007 ",
         18},
        {"bad file",
         std::vector<std::string>{},
         newer,
         {"write", "FILE", "--port", "PORT"},
         5,
         "unit.json: version: expected 1; version 2 comes from a newer program",
         0},
        // A port that is missing would give status 2 had it been opened.
        {"a frame in a value",
         std::nullopt,
         smuggling,
         {"write", "FILE", "--port", "/dev/vk630-none"},
         5,
         "unit.json: device.address: expected 1 to 3 printable ASCII characters other than "
         "\"#\", found \"017#TEKVAR#JTM:999\"",
         0},
        {"a frame in --set",
         std::nullopt,
         good,
         {"write", "FILE", "--port", "/dev/vk630-none", "--set", "address=017#TEKVAR#JTM:999"},
         1,
         "--set device.address: expected 1 to 3 printable",
         0},
        {"a FIFO",
         std::nullopt,
         good,
         {"verify", "FIFO", "--port", "/dev/vk630-none"},
         5,
         "pipe.json: is a named pipe (FIFO), not a settings file",
         0},
        {"missing file",
         std::vector<std::string>{},
         good,
         {"verify", "missing.json", "--port", "PORT"},
         5,
         "missing.json: cannot be read",
         0},
    };
    for (const Case& c : cases) {
        std::optional<SimProcess> sim;
        if (c.simArgs) sim.emplace(*c.simArgs);
        char pattern[] = "/tmp/vk630e-cli-test-XXXXXX";
        const std::string dir = ::mkdtemp(pattern);
        WriteFile(dir + "/unit.json", c.file);
        WriteFile(dir + "/old.json", "{}\n");
        std::vector<std::string> args = c.args;
        for (auto& arg : args) {
            if (arg == "PORT") arg = sim->LinkPath();
            if (arg == "FILE") arg = dir + "/unit.json";
            if (arg == "FIFO" && ::mkfifo((arg = dir + "/pipe.json").c_str(), 0600) != 0)
                ADD_FAILURE() << "no FIFO";
            if (arg.starts_with("DIR/")) arg = dir + arg.substr(3);
        }
        const bool fifo = std::filesystem::exists(dir + "/pipe.json");
        const Result result = RunCli(dir, args, {}, c.wrapper);
        EXPECT_EQ(ReadFile(dir + "/old.json"), "{}\n") << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), fifo ? 5 : 4)
            << c.what;
        EXPECT_EQ(result.status, c.status) << c.what << "\n" << result.err;
        EXPECT_THAT(c.status == 0 || c.status == 4 ? result.out : result.err, HasSubstr(c.message))
            << c.what;
        if (sim) {
            EXPECT_LE(FramesReceived(*sim), c.maxFrames) << c.what;
        }
        std::filesystem::remove_all(dir);
    }
}

// Stopped in the middle of a write, the run still finishes the frame in
// flight (every frame sent was answered), closes its log, ends the progress
// line and says how far it got; the status names the signal.
TEST(Cli, ASignalStopsTheRunAfterTheFrameInFlight) {
    struct Case {
        int signal;
        std::vector<std::string> wrapper;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {SIGINT, {}, 130, "\r\033[Kvk630e-cli: stopped by SIGINT; "},
        {SIGTERM, {}, 143, "\r\033[Kvk630e-cli: stopped by SIGTERM; "},
        {SIGHUP, {}, 129, "\r\033[Kvk630e-cli: stopped by SIGHUP; "},
        // Ignored when it started: meant to outlive the signal.
        {SIGHUP, {"nohup"}, 0, "All 38 settings verified"},
    };
    for (const Case& c : cases) {
        SimProcess sim({"--delay", "150"});
        const std::string file = sim.Dir() + "/unit.json", log = sim.Dir() + "/traffic.log";
        WriteFile(file, settings::WriteSettings(Unit()));
        int master = -1, slave = -1;
        ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        const pid_t cli =
            StartCli(sim.Dir(), {"write", file, "--port", sim.LinkPath(), "--log", log},
                     ::ttyname(slave), c.wrapper);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (FramesReceived(sim) < 3 && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::kill(cli, c.signal);
        const Result result = FinishCli(cli, sim.Dir(), ::ttyname(slave));
        EXPECT_EQ(result.status, c.status) << c.message;
        const std::string said = c.status == 0 ? result.out : Shown(master);
        EXPECT_THAT(said, HasSubstr(c.message));
        if (c.status != 0) {
            EXPECT_THAT(said, HasSubstr(std::to_string(FramesReceived(sim)) +
                                        " of 18 frames were answered; the last was "));
        }
        EXPECT_THAT(ReadFile(log), ::testing::EndsWith("  CLOSE\n")) << c.message;
        ::close(slave);
        ::close(master);
    }
}

}  // namespace
