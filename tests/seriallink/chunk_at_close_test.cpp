// What ClosePort does with the chunk the receive thread holds: delivered
// when its timeouts had completed it, dropped while still being filled.
// The clock stands where the test puts it, so a deadline is met exactly.
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdint>

#include "event_log.h"
#include "fake_seams.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

constexpr std::uint32_t kMax = 0xFFFFFFFF;
constexpr std::int64_t kMs = 1'000'000;

struct HeldCase {
    const char* what;
    std::uint32_t interval, multiplier, constant;
    std::int64_t closedAfterNs;  // since the bytes were read
    bool delivered;
};

class ChunkAtCloseTest : public ::testing::TestWithParam<HeldCase> {};

TEST_P(ChunkAtCloseTest, DeliveredOnlyWhenItsTimeoutsCompletedIt) {
    const HeldCase& c = GetParam();
    StandingClock clock;
    PtyPair pty;
    TComm comm(LinkSeams{nullptr, &clock});
    EventLog log(comm);
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(c.interval);
    comm.SetReadTotalTimeoutMultiplier(c.multiplier);
    comm.SetReadTotalTimeoutConstant(c.constant);
    comm.OpenPort();
    pty.Write("held");
    ASSERT_TRUE(WaitUntil([&] { return clock.Reads() >= 1; }));  // the bytes' time is taken
    clock.Set(clock.NowNs() + c.closedAfterNs);
    comm.ClosePort();
    pollfd posted{comm.NotifyFd(), POLLIN, 0};
    while (::poll(&posted, 1, 0) > 0) comm.DispatchNotification();
    EXPECT_EQ(log.Received(), c.delivered ? "held" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Timeouts, ChunkAtCloseTest,
    ::testing::Values(HeldCase{"interval_still_running", 10000, 0, 0, 10000 * kMs - 1, false},
                      HeldCase{"interval_run_out", 10000, 0, 0, 10000 * kMs, true},
                      HeldCase{"interval_before_the_total", 1000, 0, 5000, 1000 * kMs, true},
                      HeldCase{"total_still_running", 0, 2, 1000, 5096 * kMs - 1, false},
                      HeldCase{"total_per_byte_and_constant_run_out", 0, 2, 1000, 5096 * kMs, true},
                      HeldCase{"no_timeouts_only_a_full_chunk", 0, 0, 0, 3600'000 * kMs, false},
                      HeldCase{"at_once", kMax, 0, 0, 0, true},
                      HeldCase{"at_once_with_a_limit_for_the_first_byte", kMax, kMax, 200, 0, true},
                      HeldCase{"all_ones_constant_is_no_limit", kMax, kMax, kMax, 0, false}),
    [](const ::testing::TestParamInfo<HeldCase>& info) { return info.param.what; });

}  // namespace
}  // namespace seriallink::test
