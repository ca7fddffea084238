// The modem-line wait can only be ended by a signal. A pty has no such
// wait, so the same mechanism is proven on a blocking pipe read, with the
// wake landing at every moment around the call.
#include "seriallink/signal_wake.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <random>
#include <thread>

#include "seriallink/stop_signal.h"

namespace seriallink {
namespace {

using std::chrono::milliseconds;

int BlockingRead(void* fd) {
    char byte;
    return static_cast<int>(::read(*static_cast<int*>(fd), &byte, 1));
}

struct Pipe {
    Pipe() {
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    }
    ~Pipe() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    int fds[2];
};

TEST(SignalWakeTest, IsAvailableInAPlainProcess) {
    EXPECT_TRUE(SignalWake::Available());
}

TEST(SignalWakeTest, ReturnsWhatTheCallGave) {
    ASSERT_TRUE(SignalWake::Available());
    Pipe pipe;
    StopSignal stop;
    ASSERT_EQ(::write(pipe.fds[1], "x", 1), 1);
    int fd = pipe.fds[0];
    int result = -2;
    int error = 0;
    SignalWake::BlockInThisThread();
    EXPECT_EQ(SignalWake::CallUntilStopped(stop.Fd(), BlockingRead, &fd, result, error),
              SignalWake::Outcome::Returned);
    EXPECT_EQ(result, 1);
}

TEST(SignalWakeTest, WakeEndsTheWaitWhereverItLands) {
    ASSERT_TRUE(SignalWake::Available());
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Pipe pipe;
        StopSignal stop;
        int fd = pipe.fds[0];
        std::promise<SignalWake::Outcome> outcome;
        std::thread waiter([&] {
            SignalWake::BlockInThisThread();
            int result = 0;
            int error = 0;
            outcome.set_value(
                SignalWake::CallUntilStopped(stop.Fd(), BlockingRead, &fd, result, error));
        });
        // From at once (before the call starts) to well inside it.
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 1500));
        stop.Set();
        SignalWake::Wake(waiter.native_handle());
        auto done = outcome.get_future();
        const bool ended = done.wait_for(milliseconds(3000)) == std::future_status::ready;
        if (!ended) {
            ASSERT_EQ(::write(pipe.fds[1], "x", 1), 1);  // free it, then fail
        }
        waiter.join();
        ASSERT_TRUE(ended) << "round " << round << ": the wake was lost";
        EXPECT_EQ(done.get(), SignalWake::Outcome::Stopped);
    }
}

}  // namespace
}  // namespace seriallink
