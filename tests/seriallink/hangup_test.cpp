// The device vanishing while open: on a pty, the master closed.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;

class HangupTest : public ::testing::TestWithParam<bool> {};

TEST_P(HangupTest, OneNoticeThenACleanClose) {
    const bool writing = GetParam();
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    AimAtPty(comm, pty);
    comm.OpenPort();
    ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 1, milliseconds(5000)));
    if (writing) {
        // The master reads nothing: the transmit thread is stuck in a write
        // and meets the hang-up as well.
        const std::string big(65535, 'w');
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(comm.SendBytes(big.data(), 65535));
        log.PumpFor(milliseconds(50));
    }
    pty.CloseMaster();
    ASSERT_TRUE(log.PumpUntilCount(Kind::Hangup, 1, milliseconds(5000)));
    // Sending meets the hang-up too, and still no second notice comes.
    bool refused = false;
    for (int i = 0; i < 100 && !refused; ++i) {
        refused = !comm.SendBytes("x", 1);
        log.PumpFor(milliseconds(10));
    }
    EXPECT_TRUE(refused) << "the transmit thread never met the hang-up";
    log.PumpFor(milliseconds(100));
    EXPECT_EQ(log.Count(Kind::Hangup), 1u);
    EXPECT_EQ(log.Events().back().sender, &comm);
    EXPECT_TRUE(comm.IsOpen()) << "stays open until ClosePort";

    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(SerialThreadCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hangup, HangupTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "while_writing" : "while_idle";
                         });

TEST(HangupReopenTest, AnotherPortOpensAfterTheHangup) {
    TComm comm;
    EventLog log(comm);
    {
        PtyPair gone;
        comm.SetCommName(gone.SlavePath());
        comm.OpenPort();
        gone.CloseMaster();
        ASSERT_TRUE(log.PumpUntilCount(Kind::Hangup, 1, milliseconds(5000)));
        comm.ClosePort();
    }
    PtyPair next;
    comm.SetCommName(next.SlavePath());
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.SetReadIntervalTimeout(30);
    comm.OpenPort();
    next.Write("back");
    ASSERT_TRUE(log.PumpUntilCount(Kind::Data, 1, milliseconds(3000)));
    EXPECT_EQ(log.Received(), "back");
    EXPECT_EQ(log.Count(Kind::Hangup), 1u);
}

}  // namespace
}  // namespace seriallink::test
