// Waiting in a system call that only a signal can end (TIOCMIWAIT has no
// descriptor to poll), in a way another thread can end for good.
//
// The wake signal stays blocked in the waiting thread except across the
// call itself, and its handler jumps back to a stop check in front of the
// call. A wake sent at any moment after the stop signal was set therefore
// ends the wait: before the call it is held until the call starts and then
// jumps out; during the call it ends the call; after it, the stop check runs
// before the next call anyway.
#pragma once

#include <pthread.h>

namespace seriallink {

class SignalWake {
public:
    // Installs the handler once per process. False when the signal is
    // already taken by someone else: then nothing may wait this way.
    static bool Available();

    // To be called first in the thread that will wait.
    static void BlockInThisThread();

    enum class Outcome { Returned, Stopped };
    // Calls call(context) until it returns other than with EINTR, or until
    // stopFd is readable. On Returned, result and error hold what it gave.
    static Outcome CallUntilStopped(int stopFd, int (*call)(void*), void* context, int& result,
                                    int& error);

    // Ends the wait of `thread`; the caller has set the stop signal before.
    static void Wake(pthread_t thread);
};

}  // namespace seriallink
