// A hang-up met by another thread than the receiver: its notice comes once,
// after the bytes the receiver holds, however it falls against the
// receiver's end.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "event_log.h"
#include "pty_pair.h"
#include "seriallink/tcomm.h"
#include "seriallink/worker_link.h"

namespace seriallink::test {
namespace {

using std::chrono::milliseconds;

enum class Step { Request, ReceiverPosts, ReceiverEnds, Stop };

struct RequestCase {
    const char* what;
    std::vector<Step> steps;
    long notices;
};

class LateRequestTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(LateRequestTest, OneNoticeInEitherOrder) {
    PtyPair pty;
    NotifyChannel notify;
    WorkerLink link(PortDevice::Open(pty.SlavePath()), notify, SystemModemLines(), SystemClock());
    for (const Step step : GetParam().steps) {
        switch (step) {
            case Step::Request:
                link.RequestHangup();
                break;
            case Step::ReceiverPosts:
                link.PostHangup();
                break;
            case Step::ReceiverEnds:
                link.ReceiveEnded();
                break;
            case Step::Stop:
                link.Stop().Set();
                break;
        }
    }
    NotifyRecord records[16];
    const std::size_t n = notify.Read(records, std::size(records));
    EXPECT_EQ(std::count_if(records, records + n,
                            [](const NotifyRecord& r) { return r.code == NotifyHangup; }),
              GetParam().notices);
}

using enum Step;
INSTANTIATE_TEST_SUITE_P(
    Orders, LateRequestTest,
    ::testing::Values(RequestCase{"request_then_receiver_ends", {Request, ReceiverEnds}, 1},
                      RequestCase{"receiver_ends_then_request", {ReceiverEnds, Request}, 1},
                      RequestCase{"receiver_met_it_too", {ReceiverPosts, Request, ReceiverEnds}, 1},
                      RequestCase{"receiver_ends_unasked", {ReceiverEnds}, 0},
                      RequestCase{"closing", {Stop, ReceiverEnds, Request}, 0}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return info.param.what; });

// The component's own descriptor of the pty's slave.
int ComponentDescriptor(const PtyPair& pty) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const int fd = std::stoi(entry.path().filename());
        if (fd != pty.Slave() && std::filesystem::read_symlink(entry, error) == pty.SlavePath())
            return fd;
    }
    return -1;
}

class IgnoredSigpipe {
public:
    IgnoredSigpipe() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &before_);
    }
    ~IgnoredSigpipe() { ::sigaction(SIGPIPE, &before_, nullptr); }

private:
    struct sigaction before_ {};
};

// An adapter that refuses to send while it still receives: the port turns
// into a socket that takes no more writes, so the transmit thread meets the
// failure while the receiver waits on a readable-when-fed port.
TEST(FailedWriteTest, NoticeFollowsTheHeldBytesAndTheReceiverSleepsOn) {
    IgnoredSigpipe quiet;
    PtyPair pty;
    TComm comm;
    EventLog log(comm);
    AimAtPty(comm, pty);
    comm.SetReadIntervalTimeout(60000);  // the receiver holds what it has read
    comm.OpenPort();
    pty.Write("held");
    ASSERT_TRUE(WaitUntil([] { return SerialThreadBytesRead("tcomm-rx") >= 4; }));
    int refusing[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, refusing), 0);
    ::shutdown(refusing[0], SHUT_WR);
    ASSERT_GE(::dup2(refusing[0], ComponentDescriptor(pty)), 0);
    ::close(refusing[0]);

    ASSERT_TRUE(comm.SendBytes("x", 1));
    ASSERT_TRUE(log.PumpUntilCount(Kind::Hangup, 1, milliseconds(5000)));
    const std::int64_t cpu = SerialThreadCpuNs("tcomm-rx");
    log.PumpFor(milliseconds(300));
    EXPECT_LT(SerialThreadCpuNs("tcomm-rx") - cpu, 30'000'000) << "the receive thread spins";
    std::vector<Kind> order;
    for (const Event& e : log.Events())
        if (e.kind != Kind::SendEmpty) order.push_back(e.kind);
    EXPECT_EQ(order, (std::vector<Kind>{Kind::Data, Kind::Hangup}));
    EXPECT_EQ(log.Received(), "held");
    comm.ClosePort();
    ::close(refusing[1]);
}

}  // namespace
}  // namespace seriallink::test
