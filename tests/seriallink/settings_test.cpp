// Line settings as the kernel holds them after open and after a change
// while open, and the settings a pty lets us watch at work. A pty always
// keeps 8 data bits and clears the parity enable, so those two are checked
// on the encoding (line_encoding_test); parity shows here by its kind bits.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"
#include "slave_line.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;

void Quiet(TComm& comm) {
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
}

struct LineCase {
    const char* what;
    std::function<void(TComm&)> configure;
    std::function<void(const SlaveLine&)> check;
};

class LineAtOpenTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineAtOpenTest, KernelHoldsTheSettings) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    GetParam().configure(comm);
    comm.OpenPort();
    const SlaveLine line = ReadSlaveLine(pty.Slave());
    EXPECT_TRUE(line.raw);
    EXPECT_FALSE(line.marking) << "a pty has no line errors to mark";
    GetParam().check(line);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LineAtOpenTest,
    ::testing::Values(
        LineCase{"defaults_9600_8N1_with_xon_xoff", [](TComm&) {},
                 [](const SlaveLine& l) {
                     EXPECT_EQ(l.baud, 9600u);
                     EXPECT_EQ(l.dataBits, 8);
                     EXPECT_FALSE(l.twoStopBits);
                     EXPECT_FALSE(l.parityOn);
                     EXPECT_FALSE(l.rtsCts);
                     EXPECT_TRUE(l.xonOut);
                     EXPECT_TRUE(l.xoffIn);
                     EXPECT_EQ(l.startChar, 17);
                     EXPECT_EQ(l.stopChar, 19);
                 }},
        LineCase{"console_115200_no_flow",
                 [](TComm& c) {
                     c.SetBaudRate(115200);
                     Quiet(c);
                 },
                 [](const SlaveLine& l) {
                     EXPECT_EQ(l.baud, 115200u);
                     EXPECT_FALSE(l.xonOut);
                     EXPECT_FALSE(l.xoffIn);
                 }},
        LineCase{"rate_outside_the_standard_list", [](TComm& c) { c.SetBaudRate(12345); },
                 [](const SlaveLine& l) { EXPECT_EQ(l.baud, 12345u); }},
        LineCase{"two_stop_bits", [](TComm& c) { c.SetStopBits(TStopBits::_2); },
                 [](const SlaveLine& l) { EXPECT_TRUE(l.twoStopBits); }},
        LineCase{"one_and_a_half_stop_bits", [](TComm& c) { c.SetStopBits(TStopBits::_1_5); },
                 [](const SlaveLine& l) { EXPECT_TRUE(l.twoStopBits); }},
        LineCase{"odd_parity", [](TComm& c) { c.SetParity(TParity::Odd); },
                 [](const SlaveLine& l) {
                     EXPECT_TRUE(l.parityOdd);
                     EXPECT_FALSE(l.stickyParity);
                 }},
        LineCase{"mark_parity", [](TComm& c) { c.SetParity(TParity::Mark); },
                 [](const SlaveLine& l) {
                     EXPECT_TRUE(l.parityOdd);
                     EXPECT_TRUE(l.stickyParity);
                 }},
        LineCase{"space_parity", [](TComm& c) { c.SetParity(TParity::Space); },
                 [](const SlaveLine& l) {
                     EXPECT_FALSE(l.parityOdd);
                     EXPECT_TRUE(l.stickyParity);
                 }},
        LineCase{"cts_output_flow", [](TComm& c) { c.SetOutx_CtsFlow(true); },
                 [](const SlaveLine& l) { EXPECT_TRUE(l.rtsCts); }},
        LineCase{"rts_handshake", [](TComm& c) { c.SetRtsControl(TRtsControl::RtsHandshake); },
                 [](const SlaveLine& l) { EXPECT_TRUE(l.rtsCts); }},
        LineCase{"xon_xoff_out_only_with_own_characters",
                 [](TComm& c) {
                     c.SetInx_XonXoffFlow(false);
                     c.SetXonChar(1);
                     c.SetXoffChar(2);
                 },
                 [](const SlaveLine& l) {
                     EXPECT_TRUE(l.xonOut);
                     EXPECT_FALSE(l.xoffIn);
                     EXPECT_EQ(l.startChar, 1);
                     EXPECT_EQ(l.stopChar, 2);
                 }}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.what; });

class LineWhileOpenTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineWhileOpenTest, ChangeIsVisibleAtOnce) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.OpenPort();
    GetParam().configure(comm);
    GetParam().check(ReadSlaveLine(pty.Slave()));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LineWhileOpenTest,
    ::testing::Values(LineCase{"baud_rate", [](TComm& c) { c.SetBaudRate(57600); },
                               [](const SlaveLine& l) { EXPECT_EQ(l.baud, 57600u); }},
                      LineCase{"odd_baud_rate", [](TComm& c) { c.SetBaudRate(250000); },
                               [](const SlaveLine& l) { EXPECT_EQ(l.baud, 250000u); }},
                      LineCase{"stop_bits", [](TComm& c) { c.SetStopBits(TStopBits::_2); },
                               [](const SlaveLine& l) { EXPECT_TRUE(l.twoStopBits); }},
                      LineCase{"cts_flow", [](TComm& c) { c.SetOutx_CtsFlow(true); },
                               [](const SlaveLine& l) { EXPECT_TRUE(l.rtsCts); }},
                      LineCase{"xon_xoff_off", Quiet,
                               [](const SlaveLine& l) {
                                   EXPECT_FALSE(l.xonOut);
                                   EXPECT_FALSE(l.xoffIn);
                               }},
                      LineCase{"xoff_char", [](TComm& c) { c.SetXoffChar(3); },
                               [](const SlaveLine& l) { EXPECT_EQ(l.stopChar, 3); }}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.what; });

TEST(LineSettingsTest, ParityChangeWaitsForTheNextOpen) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.OpenPort();
    comm.SetParity(TParity::Mark);
    EXPECT_FALSE(ReadSlaveLine(pty.Slave()).stickyParity);
    comm.ClosePort();
    comm.OpenPort();
    EXPECT_TRUE(ReadSlaveLine(pty.Slave()).stickyParity);
}

TEST(LineSettingsTest, NameChangeWaitsForTheNextOpen) {
    PtyPair first;
    PtyPair second;
    TComm comm;
    comm.SetCommName(first.SlavePath());
    comm.OpenPort();
    comm.SetCommName(second.SlavePath());
    ASSERT_TRUE(comm.SendBytes("1", 1));
    EXPECT_EQ(first.Read(1, milliseconds(5000)), "1");
    comm.ClosePort();
    comm.OpenPort();
    ASSERT_TRUE(comm.SendBytes("2", 1));
    EXPECT_EQ(second.Read(1, milliseconds(5000)), "2");
}

TEST(LineSettingsTest, SameValueReappliesNothing) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.OpenPort();
    SetSlaveBaud(pty.Slave(), 4800);  // changed behind the component's back
    comm.SetBaudRate(9600);
    EXPECT_EQ(ReadSlaveLine(pty.Slave()).baud, 4800u);
    comm.SetBaudRate(19200);
    EXPECT_EQ(ReadSlaveLine(pty.Slave()).baud, 19200u);
}

TEST(LineSettingsTest, RateZeroKeepsTheRateThePortHas) {
    PtyPair pty;
    SetSlaveBaud(pty.Slave(), 4800);
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.SetBaudRate(0);
    comm.OpenPort();
    EXPECT_EQ(ReadSlaveLine(pty.Slave()).baud, 4800u) << "0 would hang the line up";
}

TEST(LineSettingsTest, SettingsWhileClosedTouchNoPort) {
    PtyPair pty;
    SetSlaveBaud(pty.Slave(), 4800);
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    comm.SetBaudRate(38400);
    comm.SetStopBits(TStopBits::_2);
    EXPECT_EQ(ReadSlaveLine(pty.Slave()).baud, 4800u);
    EXPECT_EQ(comm.BaudRate(), 38400u);
    comm.OpenPort();
    EXPECT_EQ(ReadSlaveLine(pty.Slave()).baud, 38400u);
}

// On a pty the kernel acts on XON/XOFF, so the flow control can be watched.
TEST(LineSettingsTest, XoffFromTheDeviceHoldsSendingUntilXon) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    comm.SetCommName(pty.SlavePath());
    comm.SetInx_XonXoffFlow(false);
    comm.SetReadIntervalTimeout(50);
    comm.OpenPort();
    pty.Write("\x13");
    log.PumpFor(milliseconds(50));
    ASSERT_TRUE(comm.SendBytes("held", 4));
    EXPECT_EQ(pty.ReadUntilQuiet(milliseconds(200)), "");
    pty.Write("\x11");
    EXPECT_EQ(pty.Read(4, milliseconds(5000)), "held");
    log.PumpFor(milliseconds(150));
    EXPECT_EQ(log.Count(Kind::Data), 0u) << "flow characters are no data";
    EXPECT_EQ(log.Count(Kind::Hangup), 0u);
}

struct NullCase {
    bool ignoreNullChar;
    const char* expected;
    std::size_t length;
};

class NullCharTest : public ::testing::TestWithParam<NullCase> {};

TEST_P(NullCharTest, ZeroBytesKeptOrDropped) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    comm.SetCommName(pty.SlavePath());
    Quiet(comm);
    comm.SetReadIntervalTimeout(30);
    comm.SetIgnoreNullChar(GetParam().ignoreNullChar);
    comm.OpenPort();
    pty.Write(std::string("\0a\0\xff\0b", 6));
    ASSERT_TRUE(log.PumpUntilCount(Kind::Data, 1, milliseconds(3000)));
    EXPECT_EQ(log.Received(), std::string(GetParam().expected, GetParam().length));
}

INSTANTIATE_TEST_SUITE_P(Settings, NullCharTest,
                         ::testing::Values(NullCase{false, "\0a\0\xff\0b", 6}, NullCase{true,
                                                                                        "a\xff"
                                                                                        "b",
                                                                                        3}));

// DTR and RTS cannot be driven on a pty; every mode must still open, send
// and receive, with the refusal unreported.
class ModemControlTest : public ::testing::TestWithParam<std::tuple<TDtrControl, TRtsControl>> {};

TEST_P(ModemControlTest, EveryModeOpensSendsAndReceives) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    comm.SetCommName(pty.SlavePath());
    Quiet(comm);
    comm.SetReadIntervalTimeout(30);
    comm.SetDtrControl(std::get<0>(GetParam()));
    comm.SetRtsControl(std::get<1>(GetParam()));
    comm.OpenPort();
    ASSERT_TRUE(comm.SendBytes("out", 3));
    EXPECT_EQ(pty.Read(3, milliseconds(5000)), "out");
    pty.Write("in");
    ASSERT_TRUE(log.PumpUntilCount(Kind::Data, 1, milliseconds(3000)));
    EXPECT_EQ(log.Received(), "in");
    comm.SetRtsControl(TRtsControl::RtsEnable);
    comm.SetDtrControl(TDtrControl::DtrDisable);
    EXPECT_EQ(log.Count(Kind::Hangup), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModemControlTest,
    ::testing::Combine(::testing::Values(TDtrControl::DtrEnable, TDtrControl::DtrDisable,
                                         TDtrControl::DtrHandshake),
                       ::testing::Values(TRtsControl::RtsEnable, TRtsControl::RtsDisable,
                                         TRtsControl::RtsHandshake,
                                         TRtsControl::RtsTransmissionAvailable)));

}  // namespace
}  // namespace seriallink::test
