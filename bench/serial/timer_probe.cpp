#include "timer_probe.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <thread>

#include "measure.h"
#include "subject.h"

namespace bench {
namespace {

double OvershootMs(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start - kInterval).count();
}

double PollTimeout() {
    const auto start = Clock::now();
    ::poll(nullptr, 0, static_cast<int>(kInterval.count()));
    return OvershootMs(start);
}

// Lowering the thread's timer slack does not help: the kernel still adds
// 0.1 % of a poll timeout for tasks that are not real-time.
double PpollWithLowSlack() {
    const auto start = Clock::now();
    const timespec wait{0, static_cast<long>(kInterval.count()) * 1'000'000};
    ::ppoll(nullptr, 0, &wait, nullptr);
    return OvershootMs(start);
}

double TimerFd() {
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    itimerspec expiry{};
    expiry.it_value.tv_nsec = static_cast<long>(kInterval.count()) * 1'000'000;
    const auto start = Clock::now();
    ::timerfd_settime(timer, 0, &expiry, nullptr);
    pollfd p{timer, POLLIN, 0};
    ::poll(&p, 1, -1);
    const double late = OvershootMs(start);
    ::close(timer);
    return late;
}

}  // namespace

std::map<std::string, std::vector<double>> MeasureIntervalTimers(int samples) {
    std::map<std::string, std::vector<double>> late;
    std::thread probe([&] {
        for (int i = 0; i < samples; ++i) late["poll() timeout"].push_back(PollTimeout());
        ::prctl(PR_SET_TIMERSLACK, 1UL);
        for (int i = 0; i < samples; ++i)
            late["ppoll(), slack 1 ns"].push_back(PpollWithLowSlack());
        for (int i = 0; i < samples; ++i) late["timerfd"].push_back(TimerFd());
    });
    probe.join();
    return late;
}

}  // namespace bench
