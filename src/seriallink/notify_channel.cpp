#include "seriallink/notify_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "seriallink/tcomm.h"

namespace seriallink {

NotifyChannel::NotifyChannel() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "notification pipe");
    read_.Reset(fds[0]);
    write_.Reset(fds[1]);
}

NotifyChannel::~NotifyChannel() {
    NotifyRecord records[64];
    while (const std::size_t n = Read(records, std::size(records))) {
        for (std::size_t i = 0; i < n; ++i) TakeChunk(records[i]);
    }
}

bool NotifyChannel::Post(const NotifyRecord* records, std::size_t count, int stopFd) const {
    const std::size_t bytes = count * sizeof(NotifyRecord);
    for (;;) {
        const ssize_t n = ::write(write_.Get(), records, bytes);
        if (n == static_cast<ssize_t>(bytes)) return true;
        if (n >= 0) return false;  // cannot happen below PIPE_BUF; never resend a part
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return false;
        // The owner is behind: wait for room, but never past a stop.
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {write_.Get(), POLLOUT, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return false;
        if (fds[0].revents != 0) return false;
    }
}

void NotifyChannel::Wake() const {
    const NotifyRecord record{kWakeCode, 0, 0};
    ssize_t n;
    do {
        n = ::write(write_.Get(), &record, sizeof record);
    } while (n < 0 && errno == EINTR);
    // EAGAIN: the pipe is full, so readable already.
}

std::size_t NotifyChannel::Read(NotifyRecord* out, std::size_t max) {
    for (;;) {
        const ssize_t n = ::read(read_.Get(), out, max * sizeof(NotifyRecord));
        if (n > 0) return static_cast<std::size_t>(n) / sizeof(NotifyRecord);
        if (n < 0 && errno == EINTR) continue;
        return 0;
    }
}

ByteBlock TakeChunk(const NotifyRecord& record) {
    if (record.code != NotifyData) return {};
    return AdoptBlock(record.param);
}

}  // namespace seriallink
