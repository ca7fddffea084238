// What the traffic log holds of a real exchange on a pseudo-terminal, and
// a log on a full disk that stops while the exchange goes on.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/traffic_log.h"
#include "traffic_reader.h"

namespace seriallink::test {
namespace {

using namespace std::chrono_literals;

TEST(TrafficTap, LogsTheExchangeAsTheOwnerMetIt) {
    TempDir dir;
    const std::string path = dir.path + "/traffic.log";
    PtyPair pty;
    {
        TrafficLog log(path);
        TComm comm;
        EventLog events(comm);
        AimAtPty(comm, pty);
        comm.SetReadIntervalTimeout(300);
        comm.SetBaudRate(19200);
        comm.SetParity(TParity::Even);
        comm.SetTrafficTap(&log);
        comm.OpenPort();
        EXPECT_FALSE(comm.SendBytes("", 0));
        ASSERT_TRUE(comm.SendBytes("PPPPPP#CHEACK1#", 15));
        ASSERT_EQ(pty.Read(15, 5000ms), "PPPPPP#CHEACK1#");
        pty.Write(std::string("BOAT:\0\x01\xFF", 8));
        ASSERT_TRUE(events.PumpUntilReceived(8, 5000ms));  // ends at the 300 ms pause
        pty.Write("\r\n");
        ASSERT_TRUE(events.PumpUntilReceived(10, 5000ms));
        pty.CloseMaster();
        ASSERT_TRUE(events.PumpUntilCount(Kind::Hangup, 1, 5000ms));
        comm.ClosePort();
        ASSERT_EQ(events.ChunkSizes(), (std::vector<std::size_t>{8, 2}));
    }
    const std::vector<LoggedLine> lines = ReadTrafficLog(path);
    ASSERT_EQ(lines.size(), 6u);
    const std::pair<std::string, std::string> expected[] = {
        {"OPEN", pty.SlavePath() + " at 19200 baud, parity Even"},
        {"TX", "PPPPPP#CHEACK1#"},
        {"RX", "BOAT:\\x00\\x01\\xFF"},
        {"RX", "\\x0D\\x0A"},
        {"HANGUP", ""},
        {"CLOSE", ""},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].kind, expected[i].first) << i;
        EXPECT_EQ(lines[i].text, expected[i].second) << i;
    }
    EXPECT_EQ(Joined(lines, "RX"), std::string("BOAT:\0\x01\xFF\r\n", 10));
    EXPECT_TRUE(lines[2].textAgrees && lines[3].textAgrees);
}

TEST(TrafficTap, AFullDiskStopsTheLogNotTheExchange) {
    TrafficLog log("/dev/full");
    PtyPair pty;
    TComm comm;
    EventLog events(comm);
    AimAtPty(comm, pty);
    comm.OpenPort();
    comm.SetTrafficTap(&log);  // its first line, the port's open, fails
    pollfd stopped{log.NoticeFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&stopped, 1, 5000), 1);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(comm.SendBytes("999999#VAR#", 11));
        ASSERT_EQ(pty.Read(11, 5000ms), "999999#VAR#");
        pty.Write("VK630-E\r\n");
        ASSERT_TRUE(events.PumpUntilReceived(9 * (i + 1), 5000ms));
    }
    EXPECT_EQ(events.Received(), "VK630-E\r\nVK630-E\r\nVK630-E\r\n");
    EXPECT_EQ(log.TakeStopNotice(),
              "Traffic log stopped: cannot write /dev/full: No space left on device.");
}

}  // namespace
}  // namespace seriallink::test
