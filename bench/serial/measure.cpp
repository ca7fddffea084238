#include "measure.h"

#include <dirent.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace bench {

Pty::Pty() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&master_, &holder_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty");
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
}

Pty::~Pty() {
    ::close(master_);
    ::close(holder_);
}

void Pty::Drain() const {
    ::tcflush(master_, TCIOFLUSH);
    ::tcflush(holder_, TCIOFLUSH);
    char buffer[65536];
    while (::read(master_, buffer, sizeof buffer) > 0) {
    }
}

double ProcessCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long ContextSwitches(const std::vector<pid_t>& tids) {
    long total = 0;
    for (const pid_t tid : tids) {
        std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::stol(line.substr(line.find(':') + 1));
        }
    }
    return total;
}

std::vector<pid_t> ThreadsNamed(const std::string& prefix) {
    std::vector<pid_t> tids;
    DIR* d = ::opendir("/proc/self/task");
    while (const dirent* e = d ? ::readdir(d) : nullptr) {
        if (e->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && name.rfind(prefix, 0) == 0)
            tids.push_back(static_cast<pid_t>(std::stol(e->d_name)));
    }
    if (d) ::closedir(d);
    return tids;
}

namespace {
constexpr std::size_t kCycle = 251;
constexpr std::size_t kPiece = 65536;

const char* Pattern() {
    static const std::vector<char> pattern = [] {
        std::vector<char> p(kPiece + kCycle);
        for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<char>(i % kCycle);
        return p;
    }();
    return pattern.data();
}
}  // namespace

bool StreamMatches(const char* bytes, std::size_t n, std::size_t offset) {
    for (std::size_t done = 0; done < n;) {
        const std::size_t piece = std::min(kPiece, n - done);
        if (std::memcmp(bytes + done, Pattern() + (offset + done) % kCycle, piece) != 0)
            return false;
        done += piece;
    }
    return true;
}

void StreamFill(char* bytes, std::size_t n, std::size_t offset) {
    for (std::size_t done = 0; done < n;) {
        const std::size_t piece = std::min(kPiece, n - done);
        std::memcpy(bytes + done, Pattern() + (offset + done) % kCycle, piece);
        done += piece;
    }
}

Summary Summarize(std::vector<double> v) {
    Summary s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.min = v.front();
    s.max = v.back();
    s.median = v[v.size() / 2];
    s.p95 = v[std::min(v.size() - 1, (v.size() * 95) / 100)];
    return s;
}

}  // namespace bench
