// The limit of the machine: the slave read and written directly with poll().
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "subject.h"

namespace bench {
namespace {

class BareSubject : public Subject {
public:
    const char* Name() const override { return "bare poll+read"; }

    void Open(const std::string& path) override {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) throw std::runtime_error("open " + path);
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    void Close() override { ::close(fd_); }

    bool Receive(std::size_t bytes) override {
        std::vector<char> buffer(65536);
        bool intact = true;
        for (std::size_t got = 0; got < bytes;) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, -1);
            const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
            if (n <= 0) continue;
            intact &= StreamMatches(buffer.data(), static_cast<std::size_t>(n), got);
            got += static_cast<std::size_t>(n);
        }
        return intact;
    }

    void Send(std::size_t bytes, std::size_t block, int doneFd) override {
        std::vector<char> buffer(block);
        for (std::size_t sent = 0; sent < bytes;) {
            const std::size_t n = std::min(block, bytes - sent);
            StreamFill(buffer.data(), n, sent);
            for (std::size_t off = 0; off < n;) {
                const ssize_t w = ::write(fd_, buffer.data() + off, n - off);
                if (w > 0) {
                    off += static_cast<std::size_t>(w);
                } else {
                    pollfd p{fd_, POLLOUT, 0};
                    ::poll(&p, 1, -1);
                }
            }
            sent += n;
        }
        pollfd p{doneFd, POLLIN, 0};
        ::poll(&p, 1, -1);
    }

    // A plain poll() timeout: the kernel lets it slack by 0.1 %.
    Clock::time_point AwaitReply() override {
        char buffer[4096];
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, -1);
        while (::poll(&p, 1, static_cast<int>(kInterval.count())) > 0) {
            if (::read(fd_, buffer, sizeof buffer) <= 0) break;
        }
        return Clock::now();
    }

    long IdleWakeups(std::chrono::milliseconds time) override {
        const int quit = ::eventfd(0, EFD_CLOEXEC);
        pid_t tid = 0;
        std::thread waiter([&] {
            tid = ::gettid();
            pollfd p[2] = {{fd_, POLLIN, 0}, {quit, POLLIN, 0}};
            while (p[1].revents == 0) ::poll(p, 2, -1);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const long before = ContextSwitches({tid});
        std::this_thread::sleep_for(time);
        const long wakeups = ContextSwitches({tid}) - before;
        const std::uint64_t one = 1;
        [[maybe_unused]] auto w = ::write(quit, &one, sizeof one);
        waiter.join();
        ::close(quit);
        return wakeups;
    }

private:
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<Subject> MakeBareSubject() {
    return std::make_unique<BareSubject>();
}

}  // namespace bench
