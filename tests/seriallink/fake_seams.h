// Modem lines and a clock the tests hold in their hands: a pty has no RTS or
// DTR to watch, and a deadline is only met exactly by a clock that stands.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "seriallink/link_seams.h"

namespace seriallink::test {

// Logs every change of RTS and DTR as "R+", "R-", "D+", "D-", with the
// test's own marks between them.
class LoggedModemLines final : public ModemLines {
public:
    bool Set(int fd, tty::ModemLine line, bool on) override;
    bool ReadDsr(int, bool& dsrOn) override {
        dsrOn = dsr.load();
        return true;
    }
    // Logs "485+" and "485-", where the driver is to have the mode.
    bool SetRs485(int fd, bool enable) override;
    void Mark(const std::string& mark);
    std::string Log() const;
    bool RtsHigh() const;

    std::atomic<bool> dsr{true};
    std::atomic<bool> rs485{false};

private:
    mutable std::mutex mutex_;
    std::string log_;
    int rts_ = -1;  // unknown until first set
    int dtr_ = -1;
    bool rs485On_ = false;
};

// Stands where the test puts it; it starts at the real time, so a receive
// timer armed from it fires no earlier than it would have.
class StandingClock final : public MonotonicClock {
public:
    StandingClock();
    std::int64_t NowNs() const override;
    void Set(std::int64_t ns) { now_.store(ns); }
    int Reads() const { return reads_.load(); }  // counted once the time is taken

private:
    std::atomic<std::int64_t> now_;
    mutable std::atomic<int> reads_{0};
};

}  // namespace seriallink::test
