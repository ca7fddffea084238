// Times `vk630e-cli write` of a full settings file, read back and verified,
// against the simulator at 9600 baud, and prints it beside what the line
// itself needs: every byte of the frames and replies at 1.04 ms (10 bits at
// 9600 baud), the 300 ms pause that ends each reply, and the 100 ms decode
// tick after it. The simulator answers with no device delay of its own, so
// the difference is the program's.
//
//   commissioning_bench [runs]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/commissioning.h"
#include "settings/settings_file.h"
#include "sim_process.h"

extern char** environ;

namespace {

constexpr double kByteMs = 1.04;
constexpr double kReplyPauseMs = 300;
constexpr double kDecodeTickMs = 100;

// A logged line's bytes: the log shows CR, LF and backslash escaped and any
// other unprintable byte as \xNN.
std::size_t LoggedBytes(const std::string& text) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++bytes) {
        if (text[i] != '\\' || i + 1 >= text.size()) continue;
        i += text[i + 1] == 'x' ? 3 : 1;
    }
    return bytes;
}

struct Traffic {
    std::size_t frames = 0, frameBytes = 0, replies = 0, replyBytes = 0;
};

Traffic FromLog(const std::string& log) {
    Traffic traffic;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        for (const char* tag : {" rx ", " tx "}) {
            const auto at = line.find(tag);
            if (at == std::string::npos) continue;
            const std::size_t bytes = LoggedBytes(line.substr(at + 4));
            if (tag[1] == 'r') {
                ++traffic.frames;
                traffic.frameBytes += bytes;
            } else {
                ++traffic.replies;
                traffic.replyBytes += bytes;
            }
        }
    }
    return traffic;
}

int RunCli(std::vector<std::string> args) {
    std::string program = VK630E_CLI_PATH;
    std::vector<char*> argv{program.data()};
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

settings::SettingsFile FullFile() {
    settings::SettingsFile file{"2026-12-08T12:00:00+00:00", "bench", settings::WindowDefaults()};
    // Every choice made, so that all thirteen groups are sent.
    for (const char* control : {"MAD1USE", "MAD2USE", "MAD3USE", "COMAD1", "COMAD2"})
        file.fields.indices[control] = 1;
    return file;
}

// Display-only replies (acknowledgements) get no decode tick.
std::size_t RepliesDecoded(const settings::Fields& fields) {
    std::vector<std::string> skipped;
    std::size_t decoded = 0;
    std::vector<settings::Step> steps = settings::WriteSteps(fields, skipped);
    for (settings::Step& step : settings::ReadBackSteps()) steps.push_back(std::move(step));
    for (const settings::Step& step : steps) decoded += settings::DecodeFollows(*step.kind);
    return decoded;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const std::size_t decoded = RepliesDecoded(FullFile().fields);
    std::printf("vk630e-cli write + verify, 18 frames, simulator at 9600 baud\n");
    for (int run = 1; run <= runs; ++run) {
        vk630sim::testing::SimProcess sim({"--baud", "9600", "--delay", "0"});
        const std::string file = sim.Dir() + "/unit.json";
        std::ofstream(file) << settings::WriteSettings(FullFile());

        const auto start = std::chrono::steady_clock::now();
        const int status = RunCli({"write", file, "--port", sim.LinkPath()});
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();

        const Traffic t = FromLog(sim.Log());
        const double limit =
            (t.frameBytes + t.replyBytes) * kByteMs + t.replies * (kReplyPauseMs + kDecodeTickMs);
        // The same without the ticks that no decode step takes.
        const double strict = limit - (t.replies - decoded) * kDecodeTickMs;
        std::printf(
            "run %d: exit %d, %.0f ms; line limit %.0f ms (%zu frames %zu B, %zu replies %zu B): "
            "%.3fx; with a tick only after the %zu decoded replies %.0f ms: %.3fx\n",
            run, status, ms, limit, t.frames, t.frameBytes, t.replies, t.replyBytes, ms / limit,
            decoded, strict, ms / strict);
        if (status != 0) return 1;
    }
    return 0;
}
