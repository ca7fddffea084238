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

#include "line_limit.h"
#include "sim_process.h"

extern char** environ;

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    std::printf("vk630e-cli write + verify, 18 frames, simulator at 9600 baud\n");
    for (int run = 1; run <= runs; ++run) {
        vk630sim::testing::SimProcess sim({"--baud", "9600", "--delay", "0"});
        const std::string file = sim.Dir() + "/unit.json";
        std::ofstream(file) << settings::WriteSettings(bench::FullFile());

        const auto start = std::chrono::steady_clock::now();
        const int status = RunCli({"write", file, "--port", sim.LinkPath()});
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        bench::PrintRun(run, status, ms, sim.Log());
        if (status != 0) return 1;
    }
    return 0;
}
