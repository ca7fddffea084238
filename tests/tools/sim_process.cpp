#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vk630sim::testing {

SimProcess::SimProcess(std::vector<std::string> args, bool withLink) {
    char pattern[] = "/tmp/vk630sim-test-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    if (withLink) {
        args.push_back("--link");
        args.push_back(LinkPath());
    }
    std::vector<char*> argv;
    std::string program = VK630_SIM_PATH;
    argv.push_back(program.data());
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::string logPath = dir_ + "/stderr.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    stdout_ = out[0];
    if (rc != 0) throw std::runtime_error("cannot start " + program);

    // A sanitized build takes a while to start.
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char c;
    while (std::chrono::steady_clock::now() < limit) {
        pollfd p{stdout_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        if (::read(stdout_, &c, 1) != 1 || c == '\n') break;
        banner_.push_back(c);
    }
}

SimProcess::~SimProcess() {
    if (!status_) {
        Signal(SIGTERM);
        if (!WaitExit(std::chrono::seconds(5))) {
            Signal(SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    ::close(stdout_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string SimProcess::SlavePath() const {
    std::istringstream words(banner_);
    std::string word;
    while (words >> word) {
        if (word == "open" && words >> word) return word;
    }
    return {};
}

void SimProcess::Signal(int signal) const {
    ::kill(pid_, signal);
}

std::optional<int> SimProcess::WaitExit(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
}

std::string SimProcess::Log() const {
    std::ifstream file(dir_ + "/stderr.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace vk630sim::testing
