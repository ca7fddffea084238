#include "event_log.h"

#include <poll.h>

#include <algorithm>

namespace seriallink::test {

EventLog::EventLog(TComm& comm) : comm_(comm) {
    comm.OnReceiveData = [this](TComm* sender, const void* buffer, std::uint16_t length) {
        const char* bytes = static_cast<const char*>(buffer);
        events_.push_back({Kind::Data, std::string(bytes, length), bytes[length] == 0, 0, sender});
        received_ += length;
    };
    comm.OnReceiveError = [this](TComm* sender, std::uint32_t mask) {
        events_.push_back({Kind::LineError, {}, false, mask, sender});
    };
    comm.OnRequestHangup = [this](TComm* sender) {
        events_.push_back({Kind::Hangup, {}, false, 0, sender});
    };
    comm.OnModemStateChange = [this](TComm* sender, std::uint32_t code) {
        events_.push_back({Kind::ModemState, {}, false, code, sender});
    };
    comm.OnSendDataEmpty = [this](TComm* sender) {
        events_.push_back({Kind::SendEmpty, {}, false, 0, sender});
    };
}

std::size_t EventLog::Count(Kind kind) const {
    return static_cast<std::size_t>(std::count_if(
        events_.begin(), events_.end(), [kind](const Event& e) { return e.kind == kind; }));
}

std::vector<std::size_t> EventLog::ChunkSizes() const {
    std::vector<std::size_t> sizes;
    for (const Event& e : events_)
        if (e.kind == Kind::Data) sizes.push_back(e.bytes.size());
    return sizes;
}

std::string EventLog::Received() const {
    std::string all;
    for (const Event& e : events_)
        if (e.kind == Kind::Data) all += e.bytes;
    return all;
}

bool PumpUntil(TComm& comm, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return done();
        pollfd pfd{comm.NotifyFd(), POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count()) + 1) > 0) comm.DispatchNotification();
    }
    return true;
}

}  // namespace seriallink::test
