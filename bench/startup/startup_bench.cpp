// Start-up of the console beside a bare window of the same widgets, on the
// offscreen platform: runs of the two probes alternate, so load from other
// work on the machine falls on both alike. For each: the time from exec to
// the first painted window, the processor time the probe used for it (less
// disturbed by that load), and the resident memory one second later, as
// minimum, median and maximum; then, where valgrind is installed, the
// instructions each start-up executes until its first paint, counted by
// callgrind (these repeat exactly from run to run). Prints figures; judges
// nothing.
//
//   startup_bench [runs [console-probe [bare-probe]]]
//
// runs defaults to 20; 0 counts instructions only. Other probes can be named
// to compare builds, e.g. a console probe kept from before a change.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// Runs a program with the probe environment; returns what it wrote to
// stdout. Its stderr goes nowhere.
std::string RunCapturing(const std::vector<std::string>& command, long long* started = nullptr) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return {};
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    if (started) *started = MonotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execvp(argv[0], argv.data());
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
    return text;
}

struct Run {
    double startupMs = -1;
    double cpuMs = -1;
    double residentMiB = -1;
    long widgets = -1;
};

Run RunOnce(const char* probe) {
    long long started = 0;
    const std::string text = RunCapturing({probe}, &started);
    Run run;
    long long painted = 0;
    long long cpu = 0;
    long resident = 0;
    if (std::sscanf(text.c_str(), "painted %lld cpu %lld\nwidgets %ld\nrss_kib %ld", &painted, &cpu,
                    &run.widgets, &resident) == 4) {
        run.startupMs = static_cast<double>(painted - started) / 1e6;
        run.cpuMs = static_cast<double>(cpu) / 1e6;
        run.residentMiB = static_cast<double>(resident) / 1024.0;
    }
    return run;
}

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return {values.front(), n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2,
            values.back()};
}

void PrintRow(const char* what, const char* unit, const std::vector<double>& console,
              const std::vector<double>& bare, bool ratio) {
    const Spread c = SpreadOf(console);
    const Spread b = SpreadOf(bare);
    std::printf("%-30s %7.1f %7.1f %7.1f   %7.1f %7.1f %7.1f  %-3s", what, c.min, c.median, c.max,
                b.min, b.median, b.max, unit);
    if (ratio)
        std::printf("  %.2fx\n", c.median / b.median);
    else
        std::printf("  %+.1f\n", c.median - b.median);
}

bool ValgrindPresent() {
    return RunCapturing({"valgrind", "--version"}).rfind("valgrind", 0) == 0;
}

// Instructions executed from exec to the probe's first paint.
long long CountInstructions(const char* probe) {
    char outFile[] = "/tmp/startup_bench_callgrind_XXXXXX";
    const int fd = mkstemp(outFile);
    if (fd < 0) return -1;
    close(fd);
    RunCapturing({"valgrind", "--tool=callgrind", std::string("--callgrind-out-file=") + outFile,
                  probe, "--until-paint"});
    std::ifstream dump(outFile);
    long long total = -1;
    for (std::string line; std::getline(dump, line);)
        if (line.rfind("totals:", 0) == 0 || line.rfind("summary:", 0) == 0)
            std::istringstream(line.substr(line.find(':') + 1)) >> total;
    unlink(outFile);
    return total;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(0, std::atoi(argv[1])) : 20;
    const char* probes[2] = {argc > 2 ? argv[2] : STARTUP_PROBE, argc > 3 ? argv[3] : BARE_PROBE};
    std::vector<double> startup[2], cpu[2], resident[2];
    long widgets[2] = {-1, -1};
    if (argc > 2) std::printf("console probe %s\nbare probe    %s\n", probes[0], probes[1]);
    if (runs > 0) {
        for (const char* probe : probes) RunOnce(probe);  // warms the page cache; not counted
        for (int i = 0; i < runs; ++i)
            for (int p = 0; p < 2; ++p) {
                const Run run = RunOnce(probes[p]);
                if (run.startupMs < 0) {
                    std::fprintf(stderr, "run %d: %s gave no readings\n", i + 1, probes[p]);
                    return 1;
                }
                startup[p].push_back(run.startupMs);
                cpu[p].push_back(run.cpuMs);
                resident[p].push_back(run.residentMiB);
                widgets[p] = run.widgets;
            }
        std::printf("start-up, offscreen, %d alternating runs each (min median max)\n", runs);
        std::printf("%-30s %23s   %23s  %-3s  %s\n", "", "console", "bare window", "",
                    "console/bare");
        PrintRow("exec to first painted window", "ms", startup[0], startup[1], true);
        PrintRow("processor time until then", "ms", cpu[0], cpu[1], true);
        PrintRow("resident memory after 1 s", "MiB", resident[0], resident[1], false);
        std::printf("%-30s %23ld   %23ld\n", "widgets in the window", widgets[0], widgets[1]);
    }
    if (!ValgrindPresent()) {
        std::printf("instructions until first paint: valgrind is not installed\n");
        return 0;
    }
    const long long counts[2] = {CountInstructions(probes[0]), CountInstructions(probes[1])};
    std::printf("%-30s %23lld   %23lld  %-3s  %.3fx\n", "instructions to first paint", counts[0],
                counts[1], "", static_cast<double>(counts[0]) / static_cast<double>(counts[1]));
    return 0;
}
