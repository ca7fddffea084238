// Sending: blocks are copied, written whole and in order, the send-empty
// notice comes once per drained burst, and closing abandons what is left.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
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

class TransmitTest : public ::testing::Test {
protected:
    void SetUp() override {
        comm_.SetCommName(pty_.SlavePath());
        comm_.SetOutx_XonXoffFlow(false);
        comm_.SetInx_XonXoffFlow(false);
        comm_.SetReadIntervalTimeout(300);
        comm_.OpenPort();
        ASSERT_TRUE(log_.PumpUntilCount(Kind::SendEmpty, 1, milliseconds(5000)))
            << "no send-empty notice after open";
    }

    bool Send(const std::string& bytes) {
        return comm_.SendBytes(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
    }

    static std::string RandomBlock(std::mt19937& rng, std::size_t size) {
        std::string s(size, '\0');
        for (char& c : s) c = static_cast<char>(rng());
        return s;
    }

    PtyPair pty_;
    TComm comm_;
    EventLog log_{comm_};
};

TEST_F(TransmitTest, RefusesWhenNothingCanBeSent) {
    EXPECT_FALSE(comm_.SendBytes("x", 0));
    EXPECT_FALSE(comm_.SendBytes(nullptr, 3));
    comm_.ClosePort();
    EXPECT_FALSE(comm_.SendBytes("x", 1));
}

TEST_F(TransmitTest, SendsACopyTakenAtTheCall) {
    std::string frame = "PPPPPP#CHEACK1#";
    ASSERT_TRUE(Send(frame));
    frame.assign(frame.size(), '?');  // the caller may reuse its buffer at once
    EXPECT_EQ(pty_.Read(15, milliseconds(5000)), "PPPPPP#CHEACK1#");
}

TEST_F(TransmitTest, BurstArrivesWholeInOrderWithOneSendEmptyNotice) {
    std::mt19937 rng(1234);
    std::string expected;
    // Two blocks larger than the pty holds keep the transmit thread busy
    // while the rest is queued, so the queue never runs empty mid-burst.
    for (int i = 0; i < 2; ++i) {
        const std::string block = RandomBlock(rng, 65535);
        ASSERT_TRUE(Send(block));
        expected += block;
    }
    for (int i = 0; i < 300; ++i) {
        const std::string block = RandomBlock(rng, 1 + rng() % 3000);
        ASSERT_TRUE(Send(block));
        expected += block;
    }
    const std::string got = pty_.Read(expected.size(), milliseconds(20000));
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "bytes reordered or altered";
    ASSERT_TRUE(log_.PumpUntilCount(Kind::SendEmpty, 2, milliseconds(5000)));
    log_.PumpFor(milliseconds(100));
    EXPECT_EQ(log_.Count(Kind::SendEmpty), 2u);
}

TEST_F(TransmitTest, EachDrainedBlockGivesItsOwnNotice) {
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Send("block"));
        EXPECT_EQ(pty_.Read(5, milliseconds(5000)), "block");
        ASSERT_TRUE(log_.PumpUntilCount(Kind::SendEmpty, static_cast<std::size_t>(i) + 2,
                                        milliseconds(5000)));
    }
}

TEST_F(TransmitTest, FullQueueRefusesAndKeepsOnlyWhatItAccepted) {
    // The master reads nothing, so the first big block blocks the thread
    // and the small ones pile up until the queue is full.
    const std::string big(65535, 'B');
    ASSERT_TRUE(Send(big));
    ASSERT_TRUE(Send(big));
    std::string accepted;
    int refused = 0;
    for (int i = 0; i < 20000 && refused < 10; ++i) {
        const std::string small(1, static_cast<char>('a' + i % 26));
        if (Send(small)) {
            if (refused == 0) accepted += small;
        } else {
            ++refused;
        }
    }
    ASSERT_EQ(refused, 10) << "the queue never filled";
    // Nothing refused may be sent; blocks accepted after a refusal are
    // left out of the comparison, the queue had room again for them.
    const std::string got = pty_.Read(2 * big.size() + accepted.size(), milliseconds(20000));
    ASSERT_GE(got.size(), 2 * big.size() + accepted.size());
    EXPECT_EQ(got.substr(0, 2 * big.size()), big + big);
    EXPECT_EQ(got.substr(2 * big.size(), accepted.size()), accepted);
}

TEST_F(TransmitTest, CloseDuringABlockedWriteReturnsPromptly) {
    const std::string big(65535, 'L');
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(Send(big));
    log_.PumpFor(milliseconds(50));  // the transmit thread is stuck in the first blocks
    const auto start = Clock::now();
    comm_.ClosePort();
    EXPECT_LT(Clock::now() - start, milliseconds(2000));
    EXPECT_FALSE(comm_.IsOpen());
    // The queued copies were released (the leak checker of the sanitized
    // build proves it) and none of them is written any more.
    const std::string got = pty_.ReadUntilQuiet(milliseconds(200));
    EXPECT_LT(got.size(), 20 * big.size());

    comm_.OpenPort();
    pty_.ReadUntilQuiet(milliseconds(50));
    ASSERT_TRUE(Send("fresh"));
    EXPECT_EQ(pty_.ReadUntilQuiet(milliseconds(300)), "fresh");
}

// ClosePort abandons the block being written and drops the rest: once it
// has returned, the device gets at most what its own input buffer already
// held, and the transmit thread wrote nothing more after the stop.
TEST_F(TransmitTest, NoQueuedByteReachesTheDeviceAfterClose) {
    // The kernel's line discipline buffers this much on the device side.
    constexpr std::size_t kDeviceBuffer = 4096;
    const std::string big(65535, 'q');
    std::atomic<bool> closed{false};
    std::atomic<std::size_t> got{0};
    std::size_t late = 0;
    std::thread device([&] {
        char buffer[1024];
        for (;;) {
            const bool after = closed.load();
            pollfd in{pty_.Master(), POLLIN, 0};
            if (::poll(&in, 1, 300) <= 0) {
                if (after) return;
                continue;
            }
            const ssize_t n = ::read(pty_.Master(), buffer, sizeof buffer);
            if (n <= 0) continue;
            got += static_cast<std::size_t>(n);
            if (after) late += static_cast<std::size_t>(n);
        }
    });
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(Send(big));
    while (got < 4 * big.size()) std::this_thread::sleep_for(milliseconds(1));
    const std::size_t beforeClose = got;
    comm_.ClosePort();
    closed = true;
    device.join();
    // The block in progress and what the kernel held (far less than the
    // 26 blocks still queued).
    EXPECT_LE(got - beforeClose, 3 * big.size()) << "the transmit thread kept writing";
    EXPECT_LE(late, kDeviceBuffer) << "bytes were still written after the close";
}

// The transmit thread reports its empty queue when it starts, before it
// takes a block that was queued the moment the port opened.
TEST(OpenThenSendTest, FirstSendEmptyNoticeIsNeverLost) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    AimAtPty(comm, pty);
    for (int round = 0; round < 200; ++round) {
        comm.OpenPort();
        ASSERT_TRUE(comm.SendBytes("x", 1));
        ASSERT_EQ(pty.Read(1, milliseconds(5000)), "x");
        ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 2, milliseconds(2000)))
            << "round " << round << ": only " << log.Count(Kind::SendEmpty) << " notice";
        comm.ClosePort();
        PumpFor(comm, milliseconds(0));
        ASSERT_EQ(log.Count(Kind::SendEmpty), 2u);
        log.Clear();
    }
}

}  // namespace
}  // namespace seriallink::test
