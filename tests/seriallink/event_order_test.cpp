// What the owner sees when the port ends under a running line: at a
// hang-up, and at ClosePort. Both are races between the workers and the
// device, so each case repeats its scenario many times.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;

#ifdef VK_SANITIZED_BUILD
constexpr int kRounds = 40;
#else
constexpr int kRounds = 100;
#endif

TEST(EventOrderTest, BytesReceivedBeforeTheHangupAreDispatchedBeforeIt) {
    const std::string big(65535, 'w');
    for (int round = 0; round < kRounds; ++round) {
        PtyPair pty;
        TComm comm;
        EventLog log(comm);
        AimAtPty(comm, pty);
        comm.SetReadIntervalTimeout(300);  // the receive thread holds the reply meanwhile
        comm.OpenPort();
        // The device reads nothing: the transmit thread is in a blocked
        // write and meets the hang-up at the same moment as the receiver.
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(comm.SendBytes(big.data(), 65535));
        const std::string reply = "reply " + std::to_string(round);
        pty.Write(reply);
        // A closing master discards bytes not yet read from the port.
        ASSERT_TRUE(WaitUntil([&] { return SerialThreadBytesRead("tcomm-rx") >= reply.size(); }));
        pty.CloseMaster();

        ASSERT_TRUE(log.PumpUntilCount(Kind::Hangup, 1, milliseconds(5000))) << "round " << round;
        log.PumpFor(milliseconds(10));  // a chunk posted after the notice would show now
        std::vector<Kind> order;
        for (const Event& e : log.Events())
            if (e.kind != Kind::SendEmpty) order.push_back(e.kind);
        ASSERT_EQ(order, (std::vector<Kind>{Kind::Data, Kind::Hangup}))
            << "round " << round << ": the hang-up overtook the data";
        ASSERT_EQ(log.Received(), reply);
    }
}

// Every byte value in a sequence that does not repeat for a long while.
char PatternByte(std::size_t i) {
    return static_cast<char>((i * 7 + i / 251) % 256);
}

TEST(EventOrderTest, CloseKeepsEveryChunkTheReceiverHadTaken) {
    for (int round = 0; round < kRounds; ++round) {
        PtyPair pty;
        TComm comm;
        AimAtPty(comm, pty);
        // Every read completes at once: whatever the receive thread has
        // taken from the port is a complete chunk.
        comm.SetReadIntervalTimeout(0xFFFFFFFF);
        std::string received;
        comm.OnReceiveData = [&](TComm*, const void* buffer, std::uint16_t length) {
            received.append(static_cast<const char*>(buffer), length);
        };
        comm.OpenPort();

        // A device that sends without a pause until the port is closed.
        std::atomic<bool> stop{false};
        std::thread device([&] {
            std::string block(4096, '\0');
            std::size_t sent = 0;
            while (!stop) {
                for (std::size_t i = 0; i < block.size(); ++i) block[i] = PatternByte(sent + i);
                const ssize_t n = ::write(pty.Master(), block.data(), block.size());
                if (n > 0) {
                    sent += static_cast<std::size_t>(n);
                } else {
                    pollfd out{pty.Master(), POLLOUT, 0};
                    ::poll(&out, 1, 5);
                }
            }
        });
        PumpUntil(
            comm, [&] { return received.size() >= 16384u * (1 + round % 4); }, milliseconds(5000));
        const std::size_t taken = SerialThreadBytesRead("tcomm-rx");
        comm.ClosePort();
        stop = true;
        device.join();
        // The workers have ended: everything they posted is waiting.
        pollfd posted{comm.NotifyFd(), POLLIN, 0};
        while (::poll(&posted, 1, 0) > 0) comm.DispatchNotification();

        ASSERT_GT(taken, 0u);
        ASSERT_GE(received.size(), taken) << "round " << round << ": complete chunks were lost";
        for (std::size_t i = 0; i < received.size(); ++i)
            ASSERT_EQ(received[i], PatternByte(i)) << "round " << round << ", byte " << i;
    }
}

}  // namespace
}  // namespace seriallink::test
