// What the benchmark measures with: a pty pair whose master plays the
// device, CPU clocks, wake-up counters and order statistics.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    // Empties both directions between measurements.
    void Drain() const;

private:
    int master_ = -1;
    int holder_ = -1;  // keeps the slave alive between subjects
    std::string slavePath_;
};

// CPU seconds of the whole process, and of the calling thread.
double ProcessCpuSeconds();
double ThreadCpuSeconds();

// Voluntary plus involuntary context switches of the given threads.
long ContextSwitches(const std::vector<pid_t>& tids);
// Threads of this process whose name starts with prefix.
std::vector<pid_t> ThreadsNamed(const std::string& prefix);

struct Summary {
    double min = 0, median = 0, p95 = 0, max = 0;
};
Summary Summarize(std::vector<double> values);

// The byte a peer sends at position i of a stream, so both ends agree.
inline char StreamByte(std::size_t i) {
    return static_cast<char>((i * 131 + (i >> 11)) & 0xFF);
}

}  // namespace bench
