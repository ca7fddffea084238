// Start-up of the console on the offscreen platform, over repeated runs:
// the time from exec to the first painted window, the processor time the
// program used for it (less disturbed by other load on the machine), and the
// resident memory one second later. Prints minimum, median and maximum;
// judges nothing.
//
//   startup_bench [runs]     (default 20)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

struct Run {
    double startupMs = -1;
    double cpuMs = -1;
    double residentMiB = -1;
};

// One probe process; its stdout carries the two readings.
Run RunOnce(const char* probe) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return {};
    const long long started = MonotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(probe, probe, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);

    Run run;
    long long painted = 0;
    long long cpu = 0;
    long resident = 0;
    if (std::sscanf(text.c_str(), "painted %lld cpu %lld\nrss_kib %ld", &painted, &cpu,
                    &resident) == 3) {
        run.startupMs = static_cast<double>(painted - started) / 1e6;
        run.cpuMs = static_cast<double>(cpu) / 1e6;
        run.residentMiB = static_cast<double>(resident) / 1024.0;
    }
    return run;
}

void Print(const char* what, const char* unit, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-28s min %7.1f  median %7.1f  max %7.1f %s\n", what, values.front(), median,
                values.back(), unit);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<double> startup;
    std::vector<double> cpu;
    std::vector<double> resident;
    RunOnce(STARTUP_PROBE);  // warms the page cache; not counted
    for (int i = 0; i < runs; ++i) {
        const Run run = RunOnce(STARTUP_PROBE);
        if (run.startupMs < 0) {
            std::fprintf(stderr, "run %d: the probe gave no readings\n", i + 1);
            return 1;
        }
        startup.push_back(run.startupMs);
        cpu.push_back(run.cpuMs);
        resident.push_back(run.residentMiB);
    }
    std::printf("console start-up, offscreen, %d runs\n", runs);
    Print("exec to first painted window", "ms", startup);
    Print("processor time until then", "ms", cpu);
    Print("resident memory after 1 s", "MiB", resident);
    return 0;
}
