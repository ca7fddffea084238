// Life of the component: many open/close cycles, destruction while open,
// and the notification endpoint outliving the port.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;

void Quiet(TComm& comm, std::uint32_t interval) {
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.SetReadIntervalTimeout(interval);
}

// Waits without dispatching until the endpoint holds `bytes` bytes of records.
bool WaitForPosts(const TComm& comm, std::size_t bytes) {
    for (int i = 0; i < 300; ++i) {
        int waiting = 0;
        ::ioctl(comm.NotifyFd(), FIONREAD, &waiting);
        if (static_cast<std::size_t>(waiting) >= bytes) return true;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
}

TEST(LifecycleTest, ThousandCyclesLeaveNoDescriptorAndNoThread) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    const std::size_t descriptors = OpenDescriptorCount();
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 300);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        comm.OpenPort();
        if (cycle == 0) {
            EXPECT_EQ(SerialThreadCount(), 2u);  // receive and transmit; a pty has no modem wait
        }
        if (cycle % 10 == 0) {
            ASSERT_TRUE(comm.SendBytes("c", 1));
        }
        comm.ClosePort();
        if (cycle % 100 == 0) log.PumpFor(milliseconds(0));
    }
    log.PumpFor(milliseconds(0));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(SerialThreadCount(), 0u);
}

TEST(LifecycleTest, AnIdleOpenPortWakesNoThread) {
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 300);
    comm.OpenPort();
    ASSERT_TRUE(log.PumpUntilCount(Kind::SendEmpty, 1, milliseconds(3000)));
    std::this_thread::sleep_for(milliseconds(50));  // both settle into their waits
    const long before = SerialThreadSwitches();
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(SerialThreadSwitches() - before, 0) << "a worker wakes without a reason";
}

TEST(LifecycleTest, DestroyingAnOpenComponentStopsEverything) {
    PtyPair pty;
    const std::size_t descriptors = OpenDescriptorCount();
    {
        TComm comm;
        comm.SetCommName(pty.SlavePath());
        Quiet(comm, 300);
        comm.OpenPort();
        const std::string big(65535, 'd');
        ASSERT_TRUE(comm.SendBytes(big.data(), 65535));
        ASSERT_TRUE(comm.SendBytes(big.data(), 65535));
        pty.Write("unread");  // posted, never dispatched: released with the component
        std::this_thread::sleep_for(milliseconds(400));
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(SerialThreadCount(), 0u);
    TComm next;
    next.SetCommName(pty.SlavePath());
    next.OpenPort();  // the lock went with the destroyed component
    EXPECT_TRUE(next.IsOpen());
}

TEST(LifecycleTest, NotificationsPostedBeforeCloseAreDispatchedAfterIt) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 30);
    std::vector<std::string> seen;
    comm.OnSendDataEmpty = [&](TComm* sender) {
        seen.push_back(sender->IsOpen() ? "empty while open" : "empty after close");
    };
    comm.OnReceiveData = [&](TComm* sender, const void* buffer, std::uint16_t length) {
        seen.push_back(std::string(static_cast<const char*>(buffer), length) +
                       (sender->IsOpen() ? " while open" : " after close"));
    };
    comm.OpenPort();
    pty.Write("late");
    ASSERT_TRUE(WaitForPosts(comm, 2 * 16));
    comm.ClosePort();
    PumpFor(comm, milliseconds(50));
    EXPECT_EQ(seen, (std::vector<std::string>{"empty after close", "late after close"}));
}

// Opens the port and lets three chunks, "one", "two" and "three", wait
// undispatched with the first send-empty notice.
void OpenWithThreeChunksWaiting(PtyPair& pty, TComm& comm) {
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 20);
    comm.OpenPort();
    for (const char* part : {"one", "two", "three"}) {
        pty.Write(part);
        std::this_thread::sleep_for(milliseconds(150));
    }
    ASSERT_TRUE(WaitForPosts(comm, 4 * 16));
}

TEST(LifecycleTest, NestedDispatchKeepsThePostingOrder) {
    PtyPair pty;
    TComm comm;
    ASSERT_NO_FATAL_FAILURE(OpenWithThreeChunksWaiting(pty, comm));
    std::vector<std::string> order;
    comm.OnReceiveData = [&](TComm* sender, const void* buffer, std::uint16_t length) {
        const std::string text(static_cast<const char*>(buffer), length);
        order.push_back(text);
        // A handler that shows a modal box runs the event loop again.
        if (text == "one") sender->DispatchNotification();
    };
    comm.DispatchNotification();
    EXPECT_EQ(order, (std::vector<std::string>{"one", "two", "three"}));
}

TEST(LifecycleTest, AThrowingHandlerStrandsNothingBehindIt) {
    PtyPair pty;
    TComm comm;
    ASSERT_NO_FATAL_FAILURE(OpenWithThreeChunksWaiting(pty, comm));
    std::vector<std::string> order;
    comm.OnReceiveData = [&](TComm*, const void* buffer, std::uint16_t length) {
        order.emplace_back(static_cast<const char*>(buffer), length);
        if (order.back() == "one") throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(comm.DispatchNotification(), std::runtime_error);
    pollfd p{comm.NotifyFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 1) << "notifications are waiting, the owner must see it";
    comm.DispatchNotification();  // no new data: it continues with what waits
    EXPECT_EQ(order, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(::poll(&p, 1, 0), 0) << "nothing waits any more";
}

TEST(LifecycleTest, HandlerMayUnassignItselfAndChunksWithoutHandlerAreReleased) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 20);
    comm.OpenPort();
    int calls = 0;
    comm.OnReceiveData = [&](TComm* sender, const void*, std::uint16_t) {
        ++calls;
        sender->OnReceiveData = nullptr;
    };
    for (const char* part : {"a", "b", "c"}) {
        pty.Write(part);
        std::this_thread::sleep_for(milliseconds(150));
    }
    ASSERT_TRUE(WaitForPosts(comm, 4 * 16));
    comm.DispatchNotification();
    EXPECT_EQ(calls, 1);
}

TEST(LifecycleTest, OneDispatchTakesABoundedShareAndLosesNothing) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 300);
    std::size_t chunks = 0;
    std::size_t bytes = 0;
    comm.OnReceiveData = [&](TComm*, const void*, std::uint16_t length) {
        ++chunks;
        bytes += length;
    };
    comm.OpenPort();
    constexpr std::size_t kChunks = 1500;
    const std::string burst(kChunks * 2048, 'b');
    std::thread device([&] { pty.Write(burst); });
    const bool posted = WaitForPosts(comm, (kChunks + 1) * 16);  // and the send-empty notice
    device.join();
    ASSERT_TRUE(posted);
    comm.DispatchNotification();
    EXPECT_GT(chunks, 0u);
    EXPECT_LT(chunks, kChunks) << "one call must leave the owner's loop room to run";
    pollfd p{comm.NotifyFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 1) << "the rest must keep the descriptor readable";
    PumpUntil(
        comm, [&] { return bytes == burst.size(); }, milliseconds(5000));
    EXPECT_EQ(chunks, kChunks);
    EXPECT_EQ(bytes, burst.size());
}

TEST(LifecycleTest, CloseReturnsWhileTheOwnerLeavesTheEndpointFull) {
    PtyPair pty;
    TComm comm;
    comm.SetCommName(pty.SlavePath());
    Quiet(comm, 300);
    comm.OpenPort();
    // The owner dispatches nothing: the endpoint fills up and the receive
    // thread waits for room, until the close ends that wait.
    std::atomic<bool> stop{false};
    std::thread device([&] {
        const std::string block(65536, 'f');
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!stop && std::chrono::steady_clock::now() < end) {
            if (::write(pty.Master(), block.data(), block.size()) < 0)
                std::this_thread::sleep_for(milliseconds(1));
        }
    });
    const bool full = WaitForPosts(comm, 60000);
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    const auto closing = std::chrono::steady_clock::now() - start;
    stop = true;
    device.join();
    ASSERT_TRUE(full) << "the endpoint never filled";
    EXPECT_LT(closing, milliseconds(2000));
    std::size_t bytes = 0;
    comm.OnReceiveData = [&](TComm*, const void*, std::uint16_t length) { bytes += length; };
    PumpFor(comm, milliseconds(100));
    EXPECT_GT(bytes, 0u) << "what was posted is still delivered";
}

TEST(LifecycleTest, TwoComponentsOnTwoPortsKeepTheirEventsApart) {
    PtyPair ptyA;
    PtyPair ptyB;
    TComm a;
    TComm b;
    EventLog logA(a);
    EventLog logB(b);
    a.SetCommName(ptyA.SlavePath());
    b.SetCommName(ptyB.SlavePath());
    Quiet(a, 20);
    Quiet(b, 20);
    a.OpenPort();
    b.OpenPort();
    ptyA.Write("for a");
    ptyB.Write("for b");
    ASSERT_TRUE(logA.PumpUntilCount(Kind::Data, 1, milliseconds(3000)));
    ASSERT_TRUE(logB.PumpUntilCount(Kind::Data, 1, milliseconds(3000)));
    EXPECT_EQ(logA.Received(), "for a");
    EXPECT_EQ(logB.Received(), "for b");
    for (const Event& e : logA.Events()) EXPECT_EQ(e.sender, &a);
}

}  // namespace
}  // namespace seriallink::test
