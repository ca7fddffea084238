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

// The stream both ends agree on: a cycle of 251 bytes (every value but a
// few), so any stretch is checked or made with one memcmp or memcpy and the
// check costs every subject the same.
bool StreamMatches(const char* bytes, std::size_t n, std::size_t offset);
void StreamFill(char* bytes, std::size_t n, std::size_t offset);

}  // namespace bench
