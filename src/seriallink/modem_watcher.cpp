#include "seriallink/modem_watcher.h"

#include <cerrno>
#include <cstdint>

#include "seriallink/signal_wake.h"
#include "seriallink/tcomm.h"
#include "seriallink/thread_priority.h"
#include "seriallink/tty_control.h"

namespace seriallink {
namespace {

int WaitForChange(void* fd) {
    return tty::WaitModemChange(*static_cast<int*>(fd));
}

void Watch(WorkerLink& link) {
    SignalWake::BlockInThisThread();
    int fd = link.PortFd();
    tty::Counters before;
    if (!tty::ReadCounters(fd, before)) return;
    for (;;) {
        int result = 0;
        int error = 0;
        if (SignalWake::CallUntilStopped(link.Stop().Fd(), WaitForChange, &fd, result, error) ==
            SignalWake::Outcome::Stopped)
            return;
        if (result != 0) {
            // A driver without the wait has no modem events to give.
            if (error == ENOTTY || error == EINVAL || error == EBADF) return;
            link.RequestHangup();
            return;
        }
        tty::Counters now;
        if (!tty::ReadCounters(fd, now)) {
            link.RequestHangup();
            return;
        }
        const std::uint32_t code =
            (now.dcd != before.dcd ? ModemCarrier : 0u) | (now.rng != before.rng ? ModemRing : 0u);
        before = now;
        // A wake with none of the watched lines changed is a platform fault.
        if (code == 0 || !link.Post(NotifyModemState, 0, code)) {
            link.RequestHangup();
            return;
        }
    }
}

}  // namespace

bool TModemWatcher::Possible(const WorkerLink& link) {
    return link.HasCounters() && SignalWake::Available();
}

TModemWatcher::TModemWatcher(WorkerLink& link) : thread_([&link] { Watch(link); }) {
    NameThread(thread_, "tcomm-modem");
}

TModemWatcher::~TModemWatcher() {
    SignalWake::Wake(thread_.native_handle());
    thread_.join();
}

}  // namespace seriallink
