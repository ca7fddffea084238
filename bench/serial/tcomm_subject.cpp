// TComm the way the console drives it: events on the owner's thread, which
// waits on NotifyFd and dispatches.
#include <poll.h>

#include <stdexcept>
#include <thread>

#include "seriallink/tcomm.h"
#include "subject.h"

namespace bench {
namespace {

class TCommSubject : public Subject {
public:
    const char* Name() const override { return "TComm"; }

    void Open(const std::string& path) override {
        comm_.SetCommName(path);
        comm_.SetOutx_XonXoffFlow(false);
        comm_.SetInx_XonXoffFlow(false);
        comm_.SetDtrControl(seriallink::TDtrControl::DtrDisable);
        comm_.SetRtsControl(seriallink::TRtsControl::RtsDisable);
        comm_.SetReadIntervalTimeout(static_cast<std::uint32_t>(kInterval.count()));
        comm_.OpenPort();
        Pump(std::chrono::milliseconds(20));  // the first send-empty notice
    }
    void Close() override {
        comm_.ClosePort();
        Pump(std::chrono::milliseconds(0));
        comm_.OnReceiveData = nullptr;
    }

    bool Receive(std::size_t bytes) override {
        std::size_t got = 0;
        bool intact = true;
        comm_.OnReceiveData = [&](seriallink::TComm*, const void* buffer, std::uint16_t n) {
            const char* p = static_cast<const char*>(buffer);
            intact &= StreamMatches(p, n, got);
            got += n;
        };
        while (got < bytes) WaitAndDispatch(-1);
        comm_.OnReceiveData = nullptr;
        return intact;
    }

    // Fed a window at a time, the next one on OnSendDataEmpty, as an owner
    // sending a file would: the copies then stay few and warm.
    void Send(std::size_t bytes, std::size_t block, int doneFd) override {
        std::vector<char> buffer(block);
        std::size_t sent = 0;
        const auto queueWindow = [&] {
            for (const std::size_t end = std::min(bytes, sent + kSendWindow); sent < end;) {
                const std::size_t n = std::min(block, end - sent);
                StreamFill(buffer.data(), n, sent);
                if (!comm_.SendBytes(buffer.data(), static_cast<std::uint16_t>(n)))
                    throw std::runtime_error("SendBytes refused");
                sent += n;
            }
        };
        comm_.OnSendDataEmpty = [&](seriallink::TComm*) { queueWindow(); };
        queueWindow();
        for (;;) {
            pollfd p[2] = {{comm_.NotifyFd(), POLLIN, 0}, {doneFd, POLLIN, 0}};
            ::poll(p, 2, -1);
            if (p[0].revents != 0) comm_.DispatchNotification();
            if (p[1].revents != 0) break;
        }
        comm_.OnSendDataEmpty = nullptr;
    }

    Clock::time_point AwaitReply() override {
        Clock::time_point at{};
        comm_.OnReceiveData = [&](seriallink::TComm*, const void*, std::uint16_t) {
            at = Clock::now();
        };
        while (at == Clock::time_point{}) WaitAndDispatch(-1);
        comm_.OnReceiveData = nullptr;
        return at;
    }

    long IdleWakeups(std::chrono::milliseconds time) override {
        const std::vector<pid_t> workers = ThreadsNamed("tcomm-");
        const long before = ContextSwitches(workers);
        std::this_thread::sleep_for(time);
        return ContextSwitches(workers) - before;
    }

private:
    void WaitAndDispatch(int timeoutMs) {
        pollfd p{comm_.NotifyFd(), POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) > 0) comm_.DispatchNotification();
    }
    void Pump(std::chrono::milliseconds time) {
        const auto end = Clock::now() + time;
        do {
            WaitAndDispatch(static_cast<int>(time.count()));
        } while (Clock::now() < end);
    }

    seriallink::TComm comm_;
};

}  // namespace

std::unique_ptr<Subject> MakeTCommSubject() {
    return std::make_unique<TCommSubject>();
}

}  // namespace bench
