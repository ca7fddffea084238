#include "pty_pair.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "seriallink/tcomm.h"

namespace seriallink::test {

namespace {
std::size_t CountDescriptors() {
    const char* dir = "/proc/self/fd";
    DIR* d = ::opendir(dir);
    if (d == nullptr) throw std::system_error(errno, std::generic_category(), dir);
    std::size_t n = 0;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.') ++n;
    }
    ::closedir(d);
    return n - 1;  // the DIR's own
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
}  // namespace

PtyPair::PtyPair() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::system_error(errno, std::generic_category(), "openpty");
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
    ::close(slave_);
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

void PtyPair::Write(const void* bytes, std::size_t n) const {
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        const ssize_t w = ::write(master_, p, n);
        if (w > 0) {
            p += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "write master");
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, 1000);
    }
}

std::string PtyPair::Read(std::size_t n, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string got;
    char buffer[65536];
    while (got.size() < n) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, RemainingMs(deadline)) <= 0) break;
        const ssize_t r = ::read(master_, buffer, std::min(sizeof buffer, n - got.size()));
        if (r > 0) {
            got.append(buffer, static_cast<std::size_t>(r));
        } else if (r == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return got;
}

std::string PtyPair::ReadUntilQuiet(std::chrono::milliseconds quiet) const {
    std::string got;
    char buffer[65536];
    for (;;) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(quiet.count())) <= 0) return got;
        const ssize_t r = ::read(master_, buffer, sizeof buffer);
        if (r > 0) {
            got.append(buffer, static_cast<std::size_t>(r));
        } else if (r == 0 || (errno != EAGAIN && errno != EINTR)) {
            return got;
        }
    }
}

std::size_t OpenDescriptorCount() {
    return CountDescriptors();
}
namespace {
// Calls visit(tid, name) for every thread of the serial link.
template <typename Visit>
void ForEachSerialThread(Visit visit) {
    DIR* d = ::opendir("/proc/self/task");
    if (d == nullptr) throw std::system_error(errno, std::generic_category(), "/proc/self/task");
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && name.rfind("tcomm-", 0) == 0)
            visit(std::string(e->d_name), name);
    }
    ::closedir(d);
}
}  // namespace

std::size_t SerialThreadCount() {
    std::size_t n = 0;
    ForEachSerialThread([&n](const std::string&, const std::string&) { ++n; });
    return n;
}

long SerialThreadSwitches() {
    long switches = 0;
    ForEachSerialThread([&switches](const std::string& tid, const std::string&) {
        std::ifstream status("/proc/self/task/" + tid + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos)
                switches += std::stol(line.substr(line.find(':') + 1));
        }
    });
    return switches;
}

namespace {
// The first number after `field` in a file of the named serial link thread.
std::int64_t SerialThreadFigure(const std::string& name, const char* file, const char* field) {
    std::int64_t total = 0;
    ForEachSerialThread([&](const std::string& tid, const std::string& threadName) {
        if (threadName != name) return;
        std::ifstream in("/proc/self/task/" + tid + "/" + file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind(field, 0) == 0) total += std::stoll(line.substr(std::strlen(field)));
        }
    });
    return total;
}
}  // namespace

std::size_t SerialThreadBytesRead(const std::string& name) {
    return static_cast<std::size_t>(SerialThreadFigure(name, "io", "rchar:"));
}

std::size_t SerialThreadWriteCalls(const std::string& name) {
    return static_cast<std::size_t>(SerialThreadFigure(name, "io", "syscw:"));
}

std::int64_t SerialThreadCpuNs(const std::string& name) {
    return SerialThreadFigure(name, "schedstat", "");  // its first figure
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

void PtyPair::HoldOutput(bool held) const {
    ::tcflow(slave_, held ? TCOOFF : TCOON);
}

void AimAtPty(TComm& comm, const PtyPair& pty) {
    comm.SetCommName(pty.SlavePath());
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
}

}  // namespace seriallink::test
