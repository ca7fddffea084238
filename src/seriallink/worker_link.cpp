#include "seriallink/worker_link.h"

#include "seriallink/tcomm.h"
#include "seriallink/tty_control.h"

namespace seriallink {

namespace {
bool DriverKeepsCounters(int fd) {
    tty::Counters unused;
    return tty::ReadCounters(fd, unused);
}
}  // namespace

WorkerLink::WorkerLink(PortDevice device, const NotifyChannel& notify, ModemLines& lines,
                       const MonotonicClock& clock)
    : port_(std::move(device)),
      lines_(lines),
      clock_(clock),
      rts_(lines, port_.Fd()),
      notify_(notify),
      markedInput_(!tty::IsPseudoTerminal(port_.Fd())),
      hasCounters_(DriverKeepsCounters(port_.Fd())) {}

bool WorkerLink::Post(std::uint32_t code, std::uint32_t word, std::uint64_t param) const {
    const NotifyRecord record{code, word, param};
    return notify_.Post(&record, 1, stop_.Fd());
}

void WorkerLink::PostHangup() {
    if (stop_.IsSet() || hangupPosted_.exchange(true)) return;
    Post(NotifyHangup);  // nothing more to do if even this fails
}

void WorkerLink::RequestHangup() {
    // Either this sees the receive thread ended, or that thread sees the
    // request as it ends (both flags are sequentially consistent).
    hangupRequested_.store(true);
    hangupRequest_.Set();
    if (!receiveRunning_.load()) PostHangup();
}

void WorkerLink::ReceiveEnded() {
    receiveRunning_.store(false);
    if (hangupRequested_.load()) PostHangup();
}

}  // namespace seriallink
