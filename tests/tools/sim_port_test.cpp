// The simulator on a serial port through the console's serial link: a
// pseudo-terminal stands in for the adapter, the test plays the console on
// its master side.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "sim_process.h"

namespace vk630sim {
namespace {

using namespace std::chrono_literals;
using testing::SimProcess;

class PortPair {
public:
    PortPair() {
        int slave = -1;
        char name[128];
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        slavePath_ = name;
        // The simulator must not inherit the master: closing it here has to
        // close it everywhere.
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        // Only the simulator holds the slave, so that its closing shows here.
        ::close(slave);
    }
    ~PortPair() { CloseMaster(); }
    PortPair(const PortPair&) = delete;
    PortPair& operator=(const PortPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    std::string Ask(std::string_view frame) const {
        if (::write(master_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) {
            return "<short write>";
        }
        std::string reply;
        auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!reply.ends_with("\r\n") && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buffer[1024];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        return reply;
    }

    // The slave closed by everybody shows as POLLHUP on the master.
    bool WaitSlaveClosed(std::chrono::milliseconds limit) const {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{master_, 0, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLHUP)) return true;
        }
        return false;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

std::vector<std::string> OnPort(const PortPair& pair, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--port", pair.SlavePath(), "--baud",
                                     "115200", "--delay",        "1"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(SimOnPort, AnswersThroughTheSerialLink) {
    PortPair pair;
    SimProcess sim(OnPort(pair), false);
    EXPECT_EQ(sim.Banner(),
              "vk630-sim: answering on " + pair.SlavePath() + " at 115200 baud, parity none");
    EXPECT_EQ(pair.Ask("TEKVAR#ADR:7#"), "OK\r\n");
    EXPECT_TRUE(pair.Ask("PPPPPP#CHEACK1#").starts_with("BOAT:3,0 ADR:007 JTM:020 ZDAD01:"));
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.WaitExit(5s), 0);
    EXPECT_NE(sim.Log().find("rx TEKVAR#ADR:7#"), std::string::npos) << sim.Log();
}

TEST(SimOnPort, HangUpClosesThePort) {
    PortPair pair;
    SimProcess sim(OnPort(pair, {"--hangup-after", "1", "--quiet"}), false);
    ASSERT_FALSE(sim.Banner().empty());  // printed once the port is open
    EXPECT_EQ(pair.Ask("999999#VAR#"), "VK630-E V1.0 SIM\r\n");
    EXPECT_TRUE(pair.WaitSlaveClosed(3s));
    EXPECT_EQ(sim.WaitExit(5s), 0);
}

TEST(SimOnPort, EndsWhenTheLineGoesAway) {
    PortPair pair;
    SimProcess sim(OnPort(pair), false);
    ASSERT_FALSE(sim.Banner().empty());
    pair.CloseMaster();
    EXPECT_EQ(sim.WaitExit(5s), 1);
    EXPECT_NE(sim.Log().find("the line is gone"), std::string::npos) << sim.Log();
}

TEST(SimOnPort, ReportsAPortThatCannotBeOpened) {
    SimProcess sim({"--port", "/dev/vk630-no-such-port"}, false);
    EXPECT_EQ(sim.WaitExit(5s), 1);
    EXPECT_NE(sim.Log().find("cannot open /dev/vk630-no-such-port: Error opening serial port"),
              std::string::npos)
        << sim.Log();
}

}  // namespace
}  // namespace vk630sim
