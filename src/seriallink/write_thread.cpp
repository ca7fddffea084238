#include "seriallink/write_thread.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "seriallink/tcomm.h"
#include "seriallink/thread_priority.h"
#include "seriallink/tty_control.h"

namespace seriallink {
namespace {

class TransmitLoop {
public:
    explicit TransmitLoop(WorkerLink& link) : link_(link) {}
    void Run();

private:
    bool WriteBlock(const TransmitBlock& block);
    bool WriteAll(const char* bytes, std::size_t length);
    bool WaitUntilSent();

    WorkerLink& link_;
};

void TransmitLoop::Run() {
    RaiseThisThreadPriority(1);
    // The empty queue is reported as the thread starts, before it looks at
    // the queue: a block queued the moment the port opened must not
    // swallow the first notice.
    if (!link_.Post(NotifySendEmpty)) {
        link_.RequestHangup();
        return;
    }
    bool reportIdle = false;
    TransmitBlock blocks[64];
    for (;;) {
        const int taken = link_.Queue().Pop(blocks, std::size(blocks));
        if (taken < 0) {
            link_.RequestHangup();
            return;
        }
        if (taken == 0) {
            if (reportIdle) {
                if (!link_.Post(NotifySendEmpty)) {
                    link_.RequestHangup();
                    return;
                }
                reportIdle = false;
            }
            pollfd fds[2] = {{link_.Stop().Fd(), POLLIN, 0}, {link_.Queue().ReadFd(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                link_.RequestHangup();
                return;
            }
            if (fds[0].revents != 0) return;
            continue;
        }
        for (int i = 0; i < taken; ++i) {
            // A block taken after the stop is dropped; the array releases it.
            if (link_.Stop().IsSet()) return;
            const bool written = WriteBlock(blocks[i]);
            blocks[i].bytes.reset();
            if (!written) return;
            reportIdle = true;
        }
    }
}

bool TransmitLoop::WriteBlock(const TransmitBlock& block) {
    // Where this thread toggles RTS, it is raised for the block and dropped
    // once the block has left the transmitter; where the driver has no RTS
    // (a pty) there is nothing to wait for.
    link_.Rts().BlockStarts();
    const bool written = WriteAll(block.bytes.get(), block.length);
    const bool drained = link_.Rts().BlockEnded([&] { return !written || WaitUntilSent(); });
    return written && drained;
}

bool TransmitLoop::WriteAll(const char* bytes, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        if (link_.Stop().IsSet()) return false;  // the rest of the block is abandoned
        const ssize_t n = ::write(link_.PortFd(), bytes + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The driver's queue is full (or flow control holds it): wait
            // for room or for the stop.
            pollfd fds[2] = {{link_.Stop().Fd(), POLLIN, 0}, {link_.PortFd(), POLLOUT, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                link_.RequestHangup();
                return false;
            }
            if (fds[0].revents != 0) return false;
            if ((fds[1].revents & POLLNVAL) != 0) return false;
            continue;  // room, or a hang-up the next write reports
        }
        if (n < 0 && errno == EBADF) return false;  // the port was closed under us
        link_.RequestHangup();
        return false;
    }
    return true;
}

// Waits until the last bit has left the transmitter: each wait lasts as long
// as the bytes still queued take on the line, so there is no periodic poll.
bool TransmitLoop::WaitUntilSent() {
    while (const int queued = tty::OutputQueued(link_.PortFd())) {
        const std::uint64_t ns = link_.charTimeNs.load() * static_cast<std::uint64_t>(queued);
        const timespec wait{static_cast<time_t>(ns / 1'000'000'000),
                            static_cast<long>(ns % 1'000'000'000)};
        pollfd stop{link_.Stop().Fd(), POLLIN, 0};
        if (::ppoll(&stop, 1, &wait, nullptr) > 0) return false;
    }
    return true;
}

}  // namespace

TWriteThread::TWriteThread(WorkerLink& link)
    : thread_([&link] {
          TransmitLoop(link).Run();
          link.transmitRunning.store(false);
      }) {
    NameThread(thread_, "tcomm-tx");
}

TWriteThread::~TWriteThread() {
    thread_.join();
}

}  // namespace seriallink
