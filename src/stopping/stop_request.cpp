#include "stopping/stop_request.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>

namespace stopping {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler may run on any thread, the serial link's included, and may
// only do what is safe there: note the signal, write a byte.
std::atomic<int> writeEnd{-1};
std::atomic<int> firstSignal{0};

void Notify(int number) {
    const int savedErrno = errno;
    int none = 0;
    firstSignal.compare_exchange_strong(none, number);
    const int fd = writeEnd.load();
    const char byte = 1;
    if (fd >= 0 && ::write(fd, &byte, 1) < 0) {
        // A full pipe already holds a request: losing this byte loses nothing.
    }
    errno = savedErrno;
}

bool IgnoredBy(const struct sigaction& action) {
    return !(action.sa_flags & SA_SIGINFO) && action.sa_handler == SIG_IGN;
}

}  // namespace

StopRequest::StopRequest(Again again) {
    if (writeEnd.load() >= 0) throw std::logic_error("the stop signals are taken already");
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_.Reset(ends[0]);
    writeEnd_.Reset(ends[1]);
    firstSignal.store(0);
    writeEnd.store(ends[1]);

    struct sigaction action = {};
    action.sa_handler = Notify;
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART | (again == Again::EndsTheProgram ? SA_RESETHAND : 0);
    for (const int number : kSignals) {
        struct sigaction before = {};
        ::sigaction(number, nullptr, &before);
        if (IgnoredBy(before)) continue;
        ::sigaction(number, &action, nullptr);
        taken_.push_back({number, before});
    }
}

StopRequest::~StopRequest() {
    for (const Taken& signal : taken_) ::sigaction(signal.number, &signal.before, nullptr);
    writeEnd.store(-1);
}

void StopRequest::Take() const {
    char bytes[64];
    while (readEnd_ && ::read(readEnd_.Get(), bytes, sizeof bytes) > 0) {
    }
}

int StopRequest::Signal() const {
    return firstSignal.load();
}

}  // namespace stopping
