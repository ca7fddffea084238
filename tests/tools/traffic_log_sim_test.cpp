// The console's traffic log against the simulated transmitter: over 10,000
// frames it holds every byte that crossed the line, once, in order, and
// nothing else, as the simulator itself logged them.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <sstream>

#include "event_log.h"
#include "seriallink/traffic_log.h"
#include "sim_process.h"
#include "traffic_reader.h"

namespace vk630sim {
namespace {

using namespace std::chrono_literals;

TEST(TrafficLogWithSim, EqualsTheWireOverTenThousandFrames) {
    testing::SimProcess sim({"--baud", "4000000", "--delay", "0"});
    const std::string path = sim.Dir() + "/traffic.log";
    const std::string frames[] = {"999999#VAR#", "PPPPPP#CHEACK1#", "TEKVAR#JTM:20#"};
    std::string sent, received;
    std::size_t replies = 0;
    {
        seriallink::TrafficLog log(path);
        seriallink::TComm comm;
        comm.SetCommName(sim.SlavePath());
        comm.SetBaudRate(4000000);
        comm.SetOutx_XonXoffFlow(false);
        comm.SetInx_XonXoffFlow(false);
        comm.OnReceiveData = [&](seriallink::TComm*, const void* buffer, std::uint16_t length) {
            received.append(static_cast<const char*>(buffer), length);
            replies += std::count(received.end() - length, received.end(), '\n');
        };
        comm.SetTrafficTap(&log);
        comm.OpenPort();
        for (std::size_t i = 0; i < 10000; ++i) {  // a few hundred frames ahead of the replies
            ASSERT_TRUE(comm.SendBytes(frames[i % 3].data(), frames[i % 3].size()));
            sent += frames[i % 3];
            seriallink::test::PumpUntil(
                comm, [&] { return replies + 300 > i; }, 20s);
        }
        ASSERT_TRUE(seriallink::test::PumpUntil(
            comm, [&] { return replies == 10000; }, 60s));
    }
    sim.Signal(SIGTERM);
    ASSERT_EQ(sim.WaitExit(5s), 0);
    std::map<std::string, std::string> simSaw, logged;  // by "rx", "tx"; by "TX", "RX", ...
    std::istringstream simLog(sim.Log());
    for (std::string line; std::getline(simLog, line);) {
        if (line.find(" rx ") != 12 && line.find(" tx ") != 12) continue;
        for (std::size_t i = 16; i < line.size(); ++i) {  // its escapes undone
            char c = line[i];
            if (c == '\\' && line[++i] == 'x') {
                c = static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else if (c == '\\') {
                c = line[i] == 'r' ? '\r' : line[i] == 'n' ? '\n' : line[i];
            }
            simSaw[line.substr(13, 2)] += c;
        }
    }
    for (const auto& line : seriallink::test::ReadTrafficLog(path))
        logged[line.kind] += line.kind == "TX" || line.kind == "RX" ? line.bytes : "+";
    EXPECT_EQ(logged.size(), 4u);
    EXPECT_TRUE(logged["OPEN"] == "+" && logged["CLOSE"] == "+");
    ASSERT_EQ(logged["TX"].size(), sent.size());  // sizes first: a diff of megabytes is unreadable
    EXPECT_TRUE(logged["TX"] == sent && sent == simSaw["rx"]);
    ASSERT_EQ(logged["RX"].size(), received.size());
    EXPECT_TRUE(logged["RX"] == received && received == simSaw["tx"]);
}

}  // namespace
}  // namespace vk630sim
