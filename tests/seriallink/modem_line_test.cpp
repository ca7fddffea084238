// RTS and DTR as the link drives them, watched through modem lines of the
// test's own (a pty has none). The pty's output is held while the block is
// sent, so it is still being written while the test changes the mode.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "event_log.h"
#include "fake_seams.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;
using enum TRtsControl;

struct ModemCase {
    const char* what;
    std::function<void(TComm&)> atOpen;
    std::function<void(TComm&)> duringBlock;
    // Every change from the open to the close; "|" where the device starts
    // reading.
    const char* changes;
    bool driverRs485 = false;  // the driver has an RS-485 mode
};

class ModemLineTest : public ::testing::TestWithParam<ModemCase> {};

TEST_P(ModemLineTest, LinesEndWhereTheModeInForceSays) {
    const ModemCase& c = GetParam();
    LoggedModemLines lines;
    lines.rs485 = c.driverRs485;
    PtyPair pty;
    TComm comm(LinkSeams{&lines, nullptr});
    EventLog log(comm);
    AimAtPty(comm, pty);
    if (c.atOpen) c.atOpen(comm);
    comm.OpenPort();
    ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 1, milliseconds(5000)));
    pty.HoldOutput(true);
    ASSERT_TRUE(comm.SendBytes("block", 5));
    // Its first write is refused: the block is being written.
    ASSERT_TRUE(WaitUntil([] { return SerialThreadWriteCalls("tcomm-tx") >= 2; }));
    if (c.duringBlock) c.duringBlock(comm);
    lines.Mark("|");
    pty.HoldOutput(false);
    ASSERT_EQ(pty.Read(5, milliseconds(5000)), "block");
    ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 2, milliseconds(5000)));
    comm.ClosePort();
    EXPECT_EQ(lines.Log(), c.changes);
}

void Toggled(TComm& comm) {
    comm.SetRtsControl(RtsTransmissionAvailable);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModemLineTest,
    ::testing::Values(
        ModemCase{"enable_raises_both", nullptr, nullptr, "D+ R+ |"},
        ModemCase{"rts_disable_lowers_it", [](TComm& c) { c.SetRtsControl(RtsDisable); }, nullptr,
                  "D+ R- |"},
        ModemCase{"rts_handshake_raises_it", [](TComm& c) { c.SetRtsControl(RtsHandshake); },
                  nullptr, "D+ R+ |"},
        ModemCase{"dtr_disable_lowers_it",
                  [](TComm& c) { c.SetDtrControl(TDtrControl::DtrDisable); }, nullptr, "D- R+ |"},
        ModemCase{"dtr_handshake_raises_it",
                  [](TComm& c) { c.SetDtrControl(TDtrControl::DtrHandshake); }, nullptr, "D+ R+ |"},
        ModemCase{"toggled_high_only_while_sending", Toggled, nullptr, "D+ R- R+ | R-"},
        ModemCase{"toggled_other_setting_mid_block_leaves_it", Toggled,
                  [](TComm& c) { c.SetBaudRate(19200); }, "D+ R- R+ | R-"},
        ModemCase{"toggled_then_enable_mid_block_stays_high", Toggled,
                  [](TComm& c) { c.SetRtsControl(RtsEnable); }, "D+ R- R+ |"},
        ModemCase{"toggled_then_disable_mid_block_drops_at_once", Toggled,
                  [](TComm& c) { c.SetRtsControl(RtsDisable); }, "D+ R- R+ R- |"},
        ModemCase{"enable_then_toggled_mid_block_drops_after_it", nullptr, Toggled, "D+ R+ | R-"},
        ModemCase{"toggled_by_the_driver_until_the_close", Toggled, nullptr, "D+ 485+ | 485-",
                  true},
        ModemCase{"toggled_by_the_driver_then_enable_mid_block", Toggled,
                  [](TComm& c) { c.SetRtsControl(RtsEnable); }, "D+ 485+ 485- R+ |", true}),
    [](const ::testing::TestParamInfo<ModemCase>& info) { return info.param.what; });

// DSR is read through the same lines: with DsrSensitivity, what arrives
// while it is off is dropped.
TEST(DsrSensitivityTest, BytesWhileDsrIsOffAreDroppedOnlyWhenAskedTo) {
    for (const bool sensitive : {false, true}) {
        for (const bool dsrOn : {false, true}) {
            SCOPED_TRACE(std::string(sensitive ? "sensitive" : "insensitive") +
                         (dsrOn ? ", DSR on" : ", DSR off"));
            LoggedModemLines lines;
            lines.dsr = dsrOn;
            PtyPair pty;
            TComm comm(LinkSeams{&lines, nullptr});
            EventLog log(comm);
            AimAtPty(comm, pty);
            comm.SetDsrSensitivity(sensitive);
            comm.SetReadIntervalTimeout(0xFFFFFFFF);  // every read is delivered at once
            comm.OpenPort();
            pty.Write("bytes");
            ASSERT_TRUE(WaitUntil([] { return SerialThreadBytesRead("tcomm-rx") >= 5; }));
            comm.ClosePort();  // what was read is posted by then
            log.PumpFor(milliseconds(20));
            EXPECT_EQ(log.Received(), sensitive && !dsrOn ? "" : "bytes");
        }
    }
}

}  // namespace
}  // namespace seriallink::test
