// What the owner of an open port shares with its workers: the port, the stop
// signal, the transmit queue and the notification endpoint, fixed while the
// workers run, plus the few settings the owner may change under them, which
// are atomics because they are read by one thread and written by another.
#pragma once

#include <atomic>
#include <cstdint>

#include "seriallink/link_seams.h"
#include "seriallink/notify_channel.h"
#include "seriallink/port_device.h"
#include "seriallink/rts_line.h"
#include "seriallink/stop_signal.h"
#include "seriallink/transmit_queue.h"

namespace seriallink {

// The receive-side settings, packed so one atomic carries them all.
struct ReceiveFilter {
    bool parityCheck = false;
    bool replaceOnParityError = false;
    bool dropNulls = false;
    bool dsrSensitive = false;
    char replacement = 0;

    std::uint32_t Pack() const {
        return (parityCheck ? 1u : 0u) | (replaceOnParityError ? 2u : 0u) | (dropNulls ? 4u : 0u) |
               (dsrSensitive ? 8u : 0u) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(replacement)) << 8);
    }
    static ReceiveFilter Unpack(std::uint32_t bits) {
        return {(bits & 1u) != 0, (bits & 2u) != 0, (bits & 4u) != 0, (bits & 8u) != 0,
                static_cast<char>((bits >> 8) & 0xFFu)};
    }
};

class WorkerLink {
public:
    WorkerLink(PortDevice device, const NotifyChannel& notify, ModemLines& lines,
               const MonotonicClock& clock);

    int PortFd() const { return port_.Fd(); }
    ModemLines& Lines() const { return lines_; }
    std::int64_t NowNs() const { return clock_.NowNs(); }
    RtsLine& Rts() { return rts_; }
    const StopSignal& Stop() const { return stop_; }
    TransmitQueue& Queue() { return queue_; }
    const NotifyChannel& Notify() const { return notify_; }

    // Fixed at open: whether the driver marks line errors in-band and
    // keeps error counters (a pseudo-terminal does neither).
    bool MarkedInput() const { return markedInput_; }
    bool HasCounters() const { return hasCounters_; }

    bool Post(std::uint32_t code, std::uint32_t word = 0, std::uint64_t param = 0) const;
    // Reports an unexpected failure, once per open port whichever worker
    // sees it first, and never while stopping. Called by the receive thread
    // once it has posted what it holds.
    void PostHangup();
    // The other workers' way to report one: the notice must not overtake
    // bytes the receive thread has taken but not yet posted, so while it
    // runs they ask it (HangupRequest becomes readable) to post the notice
    // after them; once it has ended they post it themselves.
    void RequestHangup();
    const StopSignal& HangupRequest() const { return hangupRequest_; }
    // Called by the receive thread as it ends: it serves a request that
    // came too late for its loop.
    void ReceiveEnded();

    // Set by the owner, read by the workers.
    std::atomic<std::uint32_t> readInterval{0};
    std::atomic<std::uint32_t> readTotalMultiplier{0};
    std::atomic<std::uint32_t> readTotalConstant{0};
    std::atomic<std::uint32_t> receiveFilter{0};
    std::atomic<std::uint64_t> charTimeNs{1'041'667};  // 9600 baud, 10 bits
    // Cleared by the transmit thread when it ends on its own.
    std::atomic<bool> transmitRunning{true};

private:
    PortDevice port_;
    ModemLines& lines_;
    const MonotonicClock& clock_;
    RtsLine rts_;
    StopSignal stop_;
    StopSignal hangupRequest_;  // a manual-reset signal like the stop
    TransmitQueue queue_;
    const NotifyChannel& notify_;
    bool markedInput_;
    bool hasCounters_;
    std::atomic<bool> hangupPosted_{false};
    std::atomic<bool> hangupRequested_{false};
    std::atomic<bool> receiveRunning_{true};
};

}  // namespace seriallink
