#include "fake_seams.h"

namespace seriallink::test {

bool LoggedModemLines::Set(int, tty::ModemLine line, bool on) {
    const std::lock_guard lock(mutex_);
    int& level = line == tty::ModemLine::Rts ? rts_ : dtr_;
    if (level != static_cast<int>(on)) {
        level = static_cast<int>(on);
        if (!log_.empty()) log_ += ' ';
        log_ += line == tty::ModemLine::Rts ? 'R' : 'D';
        log_ += on ? '+' : '-';
    }
    return true;
}

bool LoggedModemLines::SetRs485(int, bool enable) {
    if (!rs485.load()) return false;
    const std::lock_guard lock(mutex_);
    if (rs485On_ != enable) log_ += enable ? " 485+" : " 485-";
    rs485On_ = enable;
    return true;
}

void LoggedModemLines::Mark(const std::string& mark) {
    const std::lock_guard lock(mutex_);
    log_ += ' ' + mark;
}

std::string LoggedModemLines::Log() const {
    const std::lock_guard lock(mutex_);
    return log_;
}

bool LoggedModemLines::RtsHigh() const {
    const std::lock_guard lock(mutex_);
    return rts_ == 1;
}

StandingClock::StandingClock() : now_(SystemClock().NowNs()) {}

std::int64_t StandingClock::NowNs() const {
    const std::int64_t now = now_.load();
    reads_.fetch_add(1);
    return now;
}

}  // namespace seriallink::test
