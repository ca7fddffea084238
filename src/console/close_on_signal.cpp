#include "console/close_on_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QWidget>
#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace console {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler may only do what is safe inside a signal handler, so it writes
// one byte into a pipe and the event loop does the rest.
std::atomic<int> writeEnd{-1};

void Notify(int) {
    const int savedErrno = errno;
    const int fd = writeEnd.load();
    const char byte = 1;
    if (fd >= 0 && ::write(fd, &byte, 1) < 0) {
        // A full pipe already holds a request to close: losing this byte loses nothing.
    }
    errno = savedErrno;
}

bool IgnoredBy(const struct sigaction& action) {
    return !(action.sa_flags & SA_SIGINFO) && action.sa_handler == SIG_IGN;
}

}  // namespace

CloseOnSignal::CloseOnSignal(QWidget& window) : window_(&window) {
    if (writeEnd.load() >= 0) throw std::logic_error("a window already closes on signals");
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
    writeEnd.store(pipe_[1]);

    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CloseOnSignal::closeWindow);

    struct sigaction action = {};
    action.sa_handler = Notify;
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        struct sigaction before = {};
        ::sigaction(number, nullptr, &before);
        // Whoever started the console with a signal ignored (nohup, a
        // script's background job) meant it to outlive that signal; shells
        // and daemons leave such a signal ignored too.
        if (IgnoredBy(before)) continue;
        ::sigaction(number, &action, nullptr);
        taken_.push_back({number, before});
    }
}

CloseOnSignal::~CloseOnSignal() {
    for (const Taken& signal : taken_) ::sigaction(signal.number, &signal.before, nullptr);
    writeEnd.store(-1);
    notifier_.reset();
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void CloseOnSignal::closeWindow() {
    char bytes[64];
    while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    if (window_) window_->close();
}

}  // namespace console
