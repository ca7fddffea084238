#include "seriallink/transmit_queue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace seriallink {

TransmitQueue::TransmitQueue() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        read_.Reset(fds[0]);
        write_.Reset(fds[1]);
    }
}

TransmitQueue::~TransmitQueue() {
    TransmitBlock blocks[64];
    while (Pop(blocks, std::size(blocks)) > 0) {
    }
}

bool TransmitQueue::Push(const void* bytes, std::size_t length) {
    ByteBlock copy = CopyToBlock(bytes, length);
    if (!copy) return false;
    const Record record{length, AddressOf(copy.get())};
    ssize_t n;
    do {
        n = ::write(write_.Get(), &record, sizeof record);
    } while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(sizeof record)) return false;  // copy freed here
    copy.release();                                              // now the transmit thread's
    return true;
}

int TransmitQueue::Pop(TransmitBlock* out, std::size_t max) {
    Record records[64];
    if (max > std::size(records)) max = std::size(records);
    ssize_t n;
    do {
        n = ::read(read_.Get(), records, max * sizeof(Record));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return errno == EAGAIN ? 0 : -1;
    const int count = static_cast<int>(static_cast<std::size_t>(n) / sizeof(Record));
    for (int i = 0; i < count; ++i) {
        out[i].bytes = AdoptBlock(records[i].address);
        out[i].length = static_cast<std::size_t>(records[i].length);
    }
    return count;
}

}  // namespace seriallink
