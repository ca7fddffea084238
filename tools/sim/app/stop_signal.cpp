#include "app/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace vk630sim {
namespace {

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t gWakeFd = -1;
std::array<struct sigaction, kStopSignals.size()> gPrevious{};

void OnStopSignal(int) {
    int saved = errno;
    char byte = 1;
    if (gWakeFd >= 0) {
        ssize_t ignored = ::write(gWakeFd, &byte, 1);  // a full pipe already says "stop"
        (void)ignored;
    }
    errno = saved;
}

}  // namespace

StopSignal::StopSignal() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create a pipe");
    readEnd_.Reset(fds[0]);
    writeEnd_.Reset(fds[1]);
    gWakeFd = fds[1];

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], &action, &gPrevious[i]);
    }
    // A parent may start us with these signals blocked (the mask is
    // inherited across exec); Ctrl+C and kill must still reach the handler.
    sigset_t stopSet;
    sigemptyset(&stopSet);
    for (int signal : kStopSignals) sigaddset(&stopSet, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &stopSet, nullptr);
    // A vanished reader of our standard output must not end the program
    // before it has removed its link.
    ::signal(SIGPIPE, SIG_IGN);
}

StopSignal::~StopSignal() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], &gPrevious[i], nullptr);
    }
    gWakeFd = -1;
}

bool StopSignal::Requested() const {
    pollfd p{readEnd_.Get(), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

bool StopSignal::SleepUntil(std::chrono::steady_clock::time_point deadline) const {
    for (;;) {
        auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero()) return !Requested();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                         static_cast<long>(ns % 1'000'000'000)};
        pollfd p{readEnd_.Get(), POLLIN, 0};
        int n = ::ppoll(&p, 1, &timeout, nullptr);
        if (n > 0) return false;
        if (n < 0 && errno != EINTR) return false;
    }
}

}  // namespace vk630sim
