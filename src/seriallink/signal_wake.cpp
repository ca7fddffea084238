#include "seriallink/signal_wake.h"

#include <poll.h>
#include <setjmp.h>
#include <signal.h>

#include <cerrno>

namespace seriallink {
namespace {

// Set only while the waiting thread may be interrupted.
thread_local sigjmp_buf* t_wakeJump = nullptr;

int WakeSignal() {
    return SIGRTMIN + 5;
}

extern "C" void OnWakeSignal(int) {
    sigjmp_buf* jump = t_wakeJump;
    if (jump == nullptr) return;
    t_wakeJump = nullptr;
    siglongjmp(*jump, 1);
}

sigset_t WakeSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, WakeSignal());
    return set;
}

bool InstallHandler() {
    struct sigaction current {};
    if (::sigaction(WakeSignal(), nullptr, &current) != 0) return false;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) return false;
    struct sigaction action {};
    action.sa_handler = OnWakeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the call has to come back
    return ::sigaction(WakeSignal(), &action, nullptr) == 0;
}

bool StopIsSet(int stopFd) {
    pollfd p{stopFd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

}  // namespace

bool SignalWake::Available() {
    static const bool installed = InstallHandler();
    return installed;
}

void SignalWake::BlockInThisThread() {
    const sigset_t wake = WakeSet();
    ::pthread_sigmask(SIG_BLOCK, &wake, nullptr);
}

SignalWake::Outcome SignalWake::CallUntilStopped(int stopFd, int (*call)(void*), void* context,
                                                 int& result, int& error) {
    static const sigset_t wake = WakeSet();
    sigjmp_buf jump;
    // A wake lands here, with the signal blocked again.
    (void)sigsetjmp(jump, 1);
    for (;;) {
        if (StopIsSet(stopFd)) return Outcome::Stopped;
        t_wakeJump = &jump;
        ::pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
        const int r = call(context);
        const int e = errno;
        ::pthread_sigmask(SIG_BLOCK, &wake, nullptr);
        t_wakeJump = nullptr;
        if (r == -1 && e == EINTR) continue;
        result = r;
        error = e;
        return Outcome::Returned;
    }
}

void SignalWake::Wake(pthread_t thread) {
    ::pthread_kill(thread, WakeSignal());
}

}  // namespace seriallink
