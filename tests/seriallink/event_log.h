// Records every event a TComm fires and drives its notification endpoint
// the way an owner's event loop would: poll() on NotifyFd, then dispatch.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "seriallink/tcomm.h"

namespace seriallink::test {

enum class Kind { Data, LineError, Hangup, ModemState, SendEmpty };

struct Event {
    Kind kind;
    std::string bytes;        // Data: the BufferLength bytes
    bool terminated = false;  // Data: the byte after them was zero
    std::uint32_t value = 0;  // LineError, ModemState: the parameter
    TComm* sender = nullptr;
};

// Dispatches comm's notifications until done() holds or the timeout passed.
bool PumpUntil(TComm& comm, const std::function<bool()>& done, std::chrono::milliseconds timeout);
inline void PumpFor(TComm& comm, std::chrono::milliseconds time) {
    PumpUntil(
        comm, [] { return false; }, time);
}

class EventLog {
public:
    explicit EventLog(TComm& comm);  // takes all five events

    const std::vector<Event>& Events() const { return events_; }
    std::size_t Count(Kind kind) const;
    std::vector<std::size_t> ChunkSizes() const;
    std::string Received() const;  // all Data bytes in order
    void Clear() { events_.clear(); }

    // Dispatches until done() holds or the timeout passed; returns done().
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        return test::PumpUntil(comm_, done, timeout);
    }
    void PumpFor(std::chrono::milliseconds time) {
        PumpUntil([] { return false; }, time);
    }
    bool PumpUntilCount(Kind kind, std::size_t n, std::chrono::milliseconds timeout) {
        return PumpUntil([&] { return Count(kind) >= n; }, timeout);
    }
    bool PumpUntilReceived(std::size_t n, std::chrono::milliseconds timeout) {
        return PumpUntil([&] { return received_ >= n; }, timeout);
    }

private:
    TComm& comm_;
    std::vector<Event> events_;
    std::size_t received_ = 0;
};

}  // namespace seriallink::test
