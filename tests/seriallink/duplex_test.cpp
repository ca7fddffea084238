// Full-duplex traffic: random blocks each way at once, checked byte for
// byte. Under ThreadSanitizer this is the proof that the hand-offs between
// the three threads are sound.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
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

#ifdef VK_SANITIZED_BUILD
constexpr std::size_t kBytesEachWay = 2u << 20;
#else
constexpr std::size_t kBytesEachWay = 10u << 20;
#endif

// The same byte stream on both ends of a direction, from the same seed.
class Stream {
public:
    explicit Stream(std::uint32_t seed) : rng_(seed) {}
    void Fill(char* out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(rng_() >> 24);
    }

private:
    std::minstd_rand rng_;
};

// Reads the master and checks every byte against the stream.
class MasterReader {
public:
    MasterReader(int master, std::uint32_t seed) : master_(master), expected_(seed) {
        thread_ = std::thread([this] { Run(); });
    }
    ~MasterReader() {
        stop_ = true;
        thread_.join();
    }
    std::size_t Received() const { return received_.load(); }
    bool Intact() const { return intact_.load(); }

private:
    void Run() {
        std::vector<char> got(65536);
        std::vector<char> want(65536);
        while (!stop_ && received_ < kBytesEachWay) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = ::read(master_, got.data(), got.size());
            if (n <= 0) continue;
            expected_.Fill(want.data(), static_cast<std::size_t>(n));
            if (std::memcmp(got.data(), want.data(), static_cast<std::size_t>(n)) != 0)
                intact_ = false;
            received_ += static_cast<std::size_t>(n);
        }
    }

    int master_;
    Stream expected_;
    std::atomic<std::size_t> received_{0};
    std::atomic<bool> intact_{true};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(DuplexTest, RandomBlocksBothWaysArriveByteExact) {
    PtyPair pty;
    TComm comm;
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(300);

    Stream incoming(11);
    std::size_t received = 0;
    bool intact = true;
    bool chunksWellFormed = true;
    std::vector<char> want(2048);
    comm.OnReceiveData = [&](TComm*, const void* buffer, std::uint16_t length) {
        const char* bytes = static_cast<const char*>(buffer);
        if (length == 0 || length > 2048 || bytes[length] != 0) chunksWellFormed = false;
        incoming.Fill(want.data(), length);
        if (std::memcmp(bytes, want.data(), length) != 0) intact = false;
        received += length;
    };
    comm.OpenPort();

    MasterReader reader(pty.Master(), 22);
    std::thread writer([&pty] {
        Stream stream(11);
        std::minstd_rand sizes(5);
        std::vector<char> block(8192);
        for (std::size_t sent = 0; sent < kBytesEachWay;) {
            const std::size_t n =
                std::min<std::size_t>(1 + sizes() % block.size(), kBytesEachWay - sent);
            stream.Fill(block.data(), n);
            pty.Write(block.data(), n);
            sent += n;
        }
    });

    Stream outgoing(22);
    std::minstd_rand sizes(9);
    std::vector<char> block(65535);
    std::size_t sent = 0;
    std::size_t pending = 0;  // the block SendBytes refused, to offer again
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while ((received < kBytesEachWay || reader.Received() < kBytesEachWay) &&
           Clock::now() < deadline) {
        // Keep about a megabyte in flight so the copies stay bounded.
        while (sent < kBytesEachWay && sent - reader.Received() < (1u << 20)) {
            if (pending == 0) {
                pending = std::min<std::size_t>(1 + sizes() % block.size(), kBytesEachWay - sent);
                outgoing.Fill(block.data(), pending);
            }
            if (!comm.SendBytes(block.data(), static_cast<std::uint16_t>(pending))) break;
            sent += pending;
            pending = 0;
        }
        PumpFor(comm, milliseconds(5));
    }
    writer.join();

    EXPECT_EQ(received, kBytesEachWay);
    EXPECT_TRUE(intact) << "received bytes altered or out of order";
    EXPECT_TRUE(chunksWellFormed);
    EXPECT_EQ(reader.Received(), kBytesEachWay);
    EXPECT_TRUE(reader.Intact()) << "sent bytes altered or out of order";
    comm.ClosePort();
}

}  // namespace
}  // namespace seriallink::test
