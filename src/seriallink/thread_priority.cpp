#include "seriallink/thread_priority.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace seriallink {

void RaiseThisThreadPriority(int levels) {
    // On Linux a thread id names that thread alone for setpriority().
    const id_t self = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, self);
    if (nice == -1 && errno != 0) return;
    ::setpriority(PRIO_PROCESS, self, nice - levels);
}

void NameThread(std::thread& thread, const char* name) {
    ::pthread_setname_np(thread.native_handle(), name);
}

}  // namespace seriallink
