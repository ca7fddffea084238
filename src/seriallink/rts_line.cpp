#include "seriallink/rts_line.h"

namespace seriallink {

bool RtsLine::Toggled() const {
    return mode_ == TRtsControl::RtsTransmissionAvailable && !driverToggles_;
}

void RtsLine::WriteLevel() {
    bool high = false;
    switch (mode_) {
        case TRtsControl::RtsEnable:
        case TRtsControl::RtsHandshake:  // the kernel drives it from here (CRTSCTS)
            high = true;
            break;
        case TRtsControl::RtsDisable:
            break;
        case TRtsControl::RtsTransmissionAvailable:
            if (driverToggles_) return;
            high = writing_;  // also when taken on in the middle of a block
            break;
    }
    lines_.Set(fd_, tty::ModemLine::Rts, high);
}

void RtsLine::SetMode(TRtsControl mode, bool driverToggles) {
    const std::lock_guard lock(mutex_);
    mode_ = mode;
    driverToggles_ = driverToggles;
    WriteLevel();
}

void RtsLine::BlockStarts() {
    const std::lock_guard lock(mutex_);
    writing_ = true;
    if (Toggled()) WriteLevel();
}

bool RtsLine::BlockEnded(const std::function<bool()>& drain) {
    std::unique_lock lock(mutex_);
    bool drained = false;
    bool completed = true;
    // The mode may turn to toggling while the lock is not held: ask again.
    while (Toggled() && !drained) {
        lock.unlock();
        completed = drain();
        drained = true;
        lock.lock();
    }
    writing_ = false;
    if (Toggled()) WriteLevel();
    return completed;
}

}  // namespace seriallink
