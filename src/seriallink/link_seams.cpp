#include "seriallink/link_seams.h"

#include <time.h>

namespace seriallink {
namespace {

class DriverModemLines final : public ModemLines {
public:
    bool Set(int fd, tty::ModemLine line, bool on) override {
        return tty::SetModemLine(fd, line, on);
    }
    bool ReadDsr(int fd, bool& dsrOn) override { return tty::ReadDsr(fd, dsrOn); }
    bool SetRs485(int fd, bool enable) override { return tty::SetRs485(fd, enable); }
};

class KernelClock final : public MonotonicClock {
public:
    std::int64_t NowNs() const override {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    }
};

}  // namespace

ModemLines& SystemModemLines() {
    static DriverModemLines lines;
    return lines;
}

const MonotonicClock& SystemClock() {
    static const KernelClock clock;
    return clock;
}

}  // namespace seriallink
