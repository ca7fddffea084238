// The simulator program run as a child process for a test, with its link in
// a private directory and its log captured in a file there.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vk630sim::testing {

class SimProcess {
public:
    // Starts the program with `args`, plus "--link <dir>/link" unless
    // `withLink` is false, and waits for its first line on standard output.
    explicit SimProcess(std::vector<std::string> args, bool withLink = true);
    ~SimProcess();  // stops the program if it still runs, removes the directory
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& Banner() const { return banner_; }
    // The slave path named by the banner ("... open /dev/pts/N in ...").
    std::string SlavePath() const;
    std::string LinkPath() const { return dir_ + "/link"; }
    const std::string& Dir() const { return dir_; }

    void Signal(int signal) const;
    // The exit status once the program has ended within `limit`.
    std::optional<int> WaitExit(std::chrono::milliseconds limit);
    // What the program has written to its standard error so far.
    std::string Log() const;

private:
    std::string dir_;
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string banner_;
    std::optional<int> status_;
};

}  // namespace vk630sim::testing
