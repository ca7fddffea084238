// The console's traffic log against the simulated transmitter: over 10,000
// frames it holds every byte that crossed the line, once, in order, and
// nothing else, as the simulator itself logged them.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <sstream>

#include "event_log.h"
#include "seriallink/traffic_log.h"
#include "sim_process.h"
#include "traffic_reader.h"

namespace vk630sim {
namespace {

using namespace std::chrono_literals;
using seriallink::TComm;
using testing::SimProcess;

// The bytes of the simulator's "rx" or "tx" lines, its escapes undone.
std::string SimLogged(const std::string& log, std::string_view direction) {
    std::string bytes;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(13, 3, std::string(direction) + " ") != 0) continue;
        for (std::size_t i = 16; i < line.size(); ++i) {
            if (line[i] != '\\') {
                bytes += line[i];
            } else if (line[++i] == 'x') {
                bytes += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                bytes += line[i] == 'r' ? '\r' : line[i] == 'n' ? '\n' : line[i];
            }
        }
    }
    return bytes;
}

TEST(TrafficLogWithSim, EqualsTheWireOverTenThousandFrames) {
    constexpr int kFrames = 10000;
    SimProcess sim({"--baud", "4000000", "--delay", "0"});
    const std::string path = sim.Dir() + "/traffic.log";
    const std::string frames[] = {"999999#VAR#", "PPPPPP#CHEACK1#", "TEKVAR#JTM:20#"};
    std::string sent, received;
    std::size_t replies = 0;
    {
        seriallink::TrafficLog log(path);
        TComm comm;
        comm.SetCommName(sim.SlavePath());
        comm.SetBaudRate(4000000);
        comm.SetOutx_XonXoffFlow(false);
        comm.SetInx_XonXoffFlow(false);
        comm.SetReadIntervalTimeout(300);
        comm.OnReceiveData = [&](TComm*, const void* buffer, std::uint16_t length) {
            received.append(static_cast<const char*>(buffer), length);
            replies += std::count(received.end() - length, received.end(), '\n');
        };
        comm.SetTrafficTap(&log);
        comm.OpenPort();
        // A few hundred frames ahead of the replies, as a busy console might be.
        for (int i = 0; i < kFrames; ++i) {
            const std::string& frame = frames[i % 3];
            ASSERT_TRUE(comm.SendBytes(frame.data(), static_cast<std::uint16_t>(frame.size())));
            sent += frame;
            seriallink::test::PumpUntil(
                comm, [&] { return replies + 300 > std::size_t(i); }, 20s);
        }
        ASSERT_TRUE(seriallink::test::PumpUntil(
            comm, [&] { return replies == kFrames; }, 60s))
            << replies << " replies";
        comm.ClosePort();
    }
    sim.Signal(SIGTERM);
    ASSERT_EQ(sim.WaitExit(5s), 0);
    const std::string simLog = sim.Log();
    EXPECT_EQ(simLog.find("skipped"), std::string::npos);
    EXPECT_EQ(simLog.find("dropped"), std::string::npos);

    const auto lines = seriallink::test::ReadTrafficLog(path);
    ASSERT_EQ(lines.size(),
              2 + kFrames +
                  static_cast<std::size_t>(std::count_if(
                      lines.begin(), lines.end(), [](const auto& l) { return l.kind == "RX"; })));
    EXPECT_EQ(lines.front().kind, "OPEN");
    EXPECT_EQ(lines.back().kind, "CLOSE");
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const auto& l) {
        return l.kind == "OPEN" || l.kind == "CLOSE" || l.textAgrees;
    }));
    // Compared by size first: a mismatch of megabytes is unreadable.
    const std::string loggedTx = Joined(lines, "TX"), loggedRx = Joined(lines, "RX");
    ASSERT_EQ(loggedTx.size(), sent.size());
    EXPECT_TRUE(loggedTx == sent && loggedTx == SimLogged(simLog, "rx"));
    ASSERT_EQ(loggedRx.size(), received.size());
    EXPECT_TRUE(loggedRx == received && loggedRx == SimLogged(simLog, "tx"));
}

}  // namespace
}  // namespace vk630sim
