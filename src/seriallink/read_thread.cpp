#include "seriallink/read_thread.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "seriallink/input_decoder.h"
#include "seriallink/outbox.h"
#include "seriallink/tcomm.h"
#include "seriallink/thread_priority.h"
#include "seriallink/tty_control.h"

namespace seriallink {
namespace {

constexpr std::size_t kChunkSize = 2048;
// Raw bytes taken from the driver per read: more than a chunk, so a fast
// line costs one system call for several chunks.
constexpr std::size_t kReadSize = 64 * 1024;
// Chunks held before they are handed over even though bytes keep coming.
constexpr std::size_t kHandOverBatch = 32;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kNsPerMs = 1'000'000;

class ReceiveLoop {
public:
    explicit ReceiveLoop(WorkerLink& link) : link_(link) {}
    void Run();

private:
    bool OnReadable();
    bool OnTimer();
    bool TakeBytes(const unsigned char* bytes, std::size_t n, std::int64_t now);
    bool Deliver();
    bool SendOutbox();
    void HangUp();
    void PostCompleteChunks();
    std::int64_t Deadline() const;
    bool Schedule(std::int64_t now);
    void ArmTimer(std::int64_t at);

    WorkerLink& link_;
    UniqueFd timer_;
    InputDecoder decoder_;
    tty::Counters counters_;
    Outbox outbox_;
    unsigned char raw_[kReadSize];
    char chunk_[kChunkSize];
    std::size_t fill_ = 0;
    std::int64_t firstByteNs_ = 0;  // of the chunk being filled
    std::int64_t lastByteNs_ = 0;
    bool timerArmed_ = false;
    std::int64_t timerAtNs_ = 0;
};

void ReceiveLoop::Run() {
    RaiseThisThreadPriority(2);
    // The read interval is measured with a timer descriptor: a poll()
    // timeout would overshoot by the kernel's slack of 0.1 %.
    timer_.Reset(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK));
    if (!timer_) {
        link_.PostHangup();
        return;
    }
    if (link_.HasCounters()) tty::ReadCounters(link_.PortFd(), counters_);

    pollfd fds[4] = {{link_.Stop().Fd(), POLLIN, 0},
                     {link_.PortFd(), POLLIN, 0},
                     {timer_.Get(), POLLIN, 0},
                     {link_.HangupRequest().Fd(), POLLIN, 0}};
    for (;;) {
        // Notifications are handed over when the line pauses (or when a
        // batch is large): a fast stream then wakes the owner once per many
        // chunks instead of once per read, and a pause costs no waiting.
        const int held = outbox_.Empty() ? -1 : 0;
        const int ready = ::poll(fds, 4, held);
        if (ready < 0) {
            if (errno == EINTR) continue;
            HangUp();
            return;
        }
        if (fds[0].revents != 0) {  // stop wins over everything else
            PostCompleteChunks();
            return;
        }
        if (ready == 0) {
            if (!SendOutbox()) return;
            continue;
        }
        if ((fds[2].revents & POLLIN) != 0 && !OnTimer()) return;
        const short port = fds[1].revents;
        if ((port & POLLNVAL) != 0) return;  // the port was closed under us
        if ((port & POLLIN) != 0) {
            if (!OnReadable()) return;
        } else if ((port & (POLLHUP | POLLERR)) != 0) {
            HangUp();
            return;
        }
        if (fds[3].revents != 0) {
            // Another worker met a failure: its notice follows what we hold.
            // Reading goes on; the request is served once.
            fds[3].fd = -1;
            if (!Deliver() || !SendOutbox()) return;
            link_.PostHangup();
            continue;
        }
        if (outbox_.Size() >= kHandOverBatch && !SendOutbox()) return;
    }
}

bool ReceiveLoop::OnReadable() {
    const ssize_t n = ::read(link_.PortFd(), raw_, sizeof raw_);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) return true;
        if (errno == EBADF) return false;
        HangUp();
        return false;
    }
    if (n == 0) {  // end of file: the device is gone (on a pty, the master closed)
        HangUp();
        return false;
    }
    const std::int64_t now = link_.NowNs();
    const ReceiveFilter filter = ReceiveFilter::Unpack(link_.receiveFilter.load());
    const InputOptions options{link_.MarkedInput(),
                               filter.parityCheck && filter.replaceOnParityError,
                               filter.replacement, filter.dropNulls};
    MarkTally marks;
    std::size_t bytes = decoder_.Decode(raw_, static_cast<std::size_t>(n), options, marks);
    bool dsrOn = true;
    if (filter.dsrSensitive && link_.Lines().ReadDsr(link_.PortFd(), dsrOn) && !dsrOn) bytes = 0;

    if (marks.Any() || link_.HasCounters()) {
        tty::Counters now{};
        const bool counted = link_.HasCounters() && tty::ReadCounters(link_.PortFd(), now);
        const tty::Counters delta = CounterDelta(now, counters_);
        if (counted) counters_ = now;
        if (const std::uint32_t flags =
                LineErrorFlags(counted ? &delta : nullptr, marks, filter.parityCheck)) {
            if (outbox_.Full() && !SendOutbox()) return false;
            outbox_.Add({NotifyLineError, 0, flags});
        }
    }
    return TakeBytes(raw_, bytes, now);
}

bool ReceiveLoop::TakeBytes(const unsigned char* bytes, std::size_t n, std::int64_t now) {
    lastByteNs_ = now;  // a break or a dropped zero is a byte on the line too
    while (n > 0) {
        if (fill_ == 0) firstByteNs_ = now;
        const std::size_t take = std::min(n, kChunkSize - fill_);
        std::memcpy(chunk_ + fill_, bytes, take);
        fill_ += take;
        bytes += take;
        n -= take;
        if (fill_ == kChunkSize && !Deliver()) return false;
    }
    return fill_ == 0 || Schedule(now);
}

// When the chunk being filled is complete by the timeouts: kNever when only
// a full buffer completes it.
std::int64_t ReceiveLoop::Deadline() const {
    const std::uint32_t interval = link_.readInterval.load();
    const std::uint32_t multiplier = link_.readTotalMultiplier.load();
    const std::uint32_t constant = link_.readTotalConstant.load();
    const bool total = multiplier != 0 || constant != 0;
    // The classic "return at once with what is there", and the same with a
    // limit for the first byte (all ones in the multiplier, a constant in
    // between): a read never completes empty here, so it is the same too.
    constexpr std::uint32_t kAllOnes = std::numeric_limits<std::uint32_t>::max();
    if (interval == kAllOnes &&
        (!total || (multiplier == kAllOnes && constant != 0 && constant != kAllOnes)))
        return 0;
    std::int64_t deadline = kNever;
    if (interval != 0) deadline = lastByteNs_ + static_cast<std::int64_t>(interval) * kNsPerMs;
    if (total) {
        const std::int64_t limitMs =
            static_cast<std::int64_t>(multiplier) * static_cast<std::int64_t>(kChunkSize) +
            constant;
        deadline = std::min(deadline, firstByteNs_ + limitMs * kNsPerMs);
    }
    return deadline;
}

bool ReceiveLoop::Schedule(std::int64_t now) {
    const std::int64_t deadline = Deadline();
    if (deadline == kNever) return true;
    if (deadline <= now) return Deliver();
    // Bytes only move the deadline later, so an armed timer is kept and
    // re-armed when it fires: one timer call per interval, not per read.
    if (!timerArmed_ || timerAtNs_ > deadline) ArmTimer(deadline);
    return true;
}

void ReceiveLoop::ArmTimer(std::int64_t at) {
    itimerspec expiry{};
    expiry.it_value.tv_sec = static_cast<time_t>(at / 1'000'000'000);
    expiry.it_value.tv_nsec = static_cast<long>(at % 1'000'000'000);
    ::timerfd_settime(timer_.Get(), TFD_TIMER_ABSTIME, &expiry, nullptr);
    timerArmed_ = true;
    timerAtNs_ = at;
}

bool ReceiveLoop::OnTimer() {
    std::uint64_t expirations = 0;
    [[maybe_unused]] const auto consumed = ::read(timer_.Get(), &expirations, sizeof expirations);
    timerArmed_ = false;
    if (fill_ == 0) return true;
    const std::int64_t deadline = Deadline();
    if (deadline == kNever) return true;  // the timeouts were switched off meanwhile
    if (link_.NowNs() < deadline) {
        ArmTimer(deadline);
        return true;
    }
    // The line has paused by definition: hand the chunk over at once.
    return Deliver() && SendOutbox();
}

bool ReceiveLoop::Deliver() {
    if (fill_ == 0) return true;
    ByteBlock chunk = CopyToBlock(chunk_, fill_);
    if (!chunk) {
        if (SendOutbox()) link_.PostHangup();
        return false;
    }
    if (outbox_.Full() && !SendOutbox()) return false;
    const NotifyRecord record{NotifyData, static_cast<std::uint32_t>(fill_),
                              AddressOf(chunk.get())};
    outbox_.Add(record, std::move(chunk));
    fill_ = 0;
    return true;
}

bool ReceiveLoop::SendOutbox() {
    if (outbox_.Empty() || outbox_.Send(link_)) return true;
    link_.PostHangup();
    return false;
}

// What arrived before the device went away is still delivered.
void ReceiveLoop::HangUp() {
    if (Deliver() && SendOutbox()) link_.PostHangup();
}

// Stopping: complete chunks are posted, so the owner dispatches them after
// ClosePort like everything posted before it. A chunk still being filled
// is dropped, as the purge drops a pending read. A full endpoint is not
// waited for (Post gives up at the stop): ClosePort must return.
void ReceiveLoop::PostCompleteChunks() {
    if (fill_ > 0 && Deadline() <= link_.NowNs() && !Deliver()) return;
    if (!outbox_.Empty()) outbox_.Send(link_);
}

}  // namespace

TReadThread::TReadThread(WorkerLink& link)
    : thread_([&link] {
          std::unique_ptr<ReceiveLoop> loop(new (std::nothrow) ReceiveLoop(link));
          if (loop) {
              loop->Run();
          } else {
              link.PostHangup();
          }
          link.ReceiveEnded();
      }) {
    NameThread(thread_, "tcomm-rx");
}

TReadThread::~TReadThread() {
    thread_.join();
}

}  // namespace seriallink
