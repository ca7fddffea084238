// How received bytes are cut into chunks by the read timeouts. These wait
// on real intervals, a few hundred milliseconds per case.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

struct Burst {
    std::size_t bytes;
    int pauseAfterMs;
};

struct Timeouts {
    std::uint32_t interval;
    std::uint32_t multiplier;
    std::uint32_t constant;
};

struct ChunkCase {
    const char* what;
    Timeouts timeouts;
    std::vector<Burst> bursts;
    std::vector<std::size_t> chunks;
    int settleMs;  // after the last burst, before counting
};

// Every byte value, 0x00 and 0xFF included, in an order that shows shifts.
std::string Pattern(std::size_t n, std::size_t offset) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((offset + i) * 7 % 256);
    return s;
}

class ChunkingTest : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkingTest, CutsWhereTheTimeoutsSay) {
    const ChunkCase& c = GetParam();
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(c.timeouts.interval);
    comm.SetReadTotalTimeoutMultiplier(c.timeouts.multiplier);
    comm.SetReadTotalTimeoutConstant(c.timeouts.constant);
    comm.OpenPort();
    ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 1, milliseconds(5000)));

    std::string sent;
    for (const Burst& burst : c.bursts) {
        const std::string bytes = Pattern(burst.bytes, sent.size());
        pty.Write(bytes);
        sent += bytes;
        log.PumpFor(milliseconds(burst.pauseAfterMs));
    }
    log.PumpFor(milliseconds(c.settleMs));

    EXPECT_EQ(log.ChunkSizes(), c.chunks);
    std::string expected = sent.substr(0, log.Received().size());
    EXPECT_EQ(log.Received(), expected);
    for (const Event& e : log.Events()) {
        if (e.kind == Kind::Data) {
            EXPECT_TRUE(e.terminated) << "no zero byte after the chunk";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timeouts, ChunkingTest,
    ::testing::Values(
        ChunkCase{"one_burst_one_chunk", {300, 0, 0}, {{100, 0}}, {100}, 600},
        ChunkCase{
            "bursts_500ms_apart_two_chunks", {300, 0, 0}, {{50, 500}, {60, 0}}, {50, 60}, 600},
        ChunkCase{"bursts_100ms_apart_one_chunk", {300, 0, 0}, {{50, 100}, {60, 0}}, {110}, 600},
        ChunkCase{"3000_bytes_give_2048_and_952", {300, 0, 0}, {{3000, 0}}, {2048, 952}, 600},
        ChunkCase{
            "trickle_within_the_interval", {250, 0, 0}, {{1, 100}, {1, 100}, {1, 0}}, {3}, 500},
        ChunkCase{"total_limit_cuts_a_steady_stream",
                  {0, 0, 200},
                  {{10, 80}, {10, 220}, {10, 0}},
                  {20, 10},
                  400},
        ChunkCase{"no_timeouts_only_full_buffers", {0, 0, 0}, {{2100, 0}}, {2048}, 400},
        // The interval runs from the last byte, not the first.
        ChunkCase{"trickle_for_a_second_one_chunk",
                  {300, 0, 0},
                  {{1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 100},
                   {1, 0}},
                  {11},
                  600},
        ChunkCase{"at_once_with_a_limit_for_the_first_byte",
                  {0xFFFFFFFF, 0xFFFFFFFF, 200},
                  {{5, 100}, {7, 0}},
                  {5, 7},
                  300},
        // Without the multiplier of all ones the longest interval is just
        // long: the constant alone ends the read, with what came meanwhile.
        ChunkCase{"longest_interval_waits_for_the_total",
                  {0xFFFFFFFF, 0, 200},
                  {{5, 50}, {7, 0}},
                  {12},
                  400}),
    [](const ::testing::TestParamInfo<ChunkCase>& info) { return info.param.what; });

TEST(ChunkingTimingTest, AChunkNeverCompletesBeforeTheInterval) {
    PtyPair pty;
    TComm comm;
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(300);
    Clock::time_point lastWrite{};
    std::vector<Clock::duration> delays;
    EventLog log(comm);
    comm.OnReceiveData = [&](TComm*, const void*, std::uint16_t) {
        delays.push_back(Clock::now() - lastWrite);
    };
    comm.OpenPort();
    for (int round = 0; round < 2; ++round) {
        lastWrite = Clock::now();  // taken first: no byte can arrive before its write
        pty.Write("reply");
        ASSERT_TRUE(log.PumpUntil([&] { return delays.size() > static_cast<std::size_t>(round); },
                                  milliseconds(3000)));
    }
    for (const auto delay : delays) EXPECT_GE(delay, milliseconds(300));
}

TEST(ChunkingTimingTest, IntervalChangedWhileOpenAppliesToTheNextChunk) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(300);
    comm.OpenPort();
    comm.SetReadIntervalTimeout(40);
    pty.Write("first");
    log.PumpFor(milliseconds(250));
    pty.Write("second");
    ASSERT_TRUE(log.PumpUntilCount(Kind::Data, 2, milliseconds(2000)));
    EXPECT_EQ(log.ChunkSizes(), (std::vector<std::size_t>{5, 6}));
}

}  // namespace
}  // namespace seriallink::test
