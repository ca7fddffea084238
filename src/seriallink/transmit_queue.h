// The transmit thread's queue: a pipe of {length, address} records, one per
// copy made by SendBytes. The owner hands over without blocking; the
// transmit thread waits on the read end together with the stop signal.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seriallink/byte_block.h"
#include "seriallink/unique_fd.h"

namespace seriallink {

struct TransmitBlock {
    ByteBlock bytes;
    std::size_t length = 0;
};

class TransmitQueue {
public:
    TransmitQueue();   // Valid() is false when no pipe can be made
    ~TransmitQueue();  // releases the copies still queued
    TransmitQueue(const TransmitQueue&) = delete;
    TransmitQueue& operator=(const TransmitQueue&) = delete;

    bool Valid() const { return static_cast<bool>(read_); }
    int ReadFd() const { return read_.Get(); }

    // Owner side: queues a copy; false (and nothing kept) when the copy
    // cannot be made or the queue is full.
    bool Push(const void* bytes, std::size_t length);

    // Transmit side: takes up to max queued blocks without waiting. Returns
    // the count, 0 when the queue is empty, -1 when the pipe failed.
    int Pop(TransmitBlock* out, std::size_t max);

private:
    struct Record {
        std::uint64_t length;
        std::uint64_t address;
    };

    UniqueFd read_;
    UniqueFd write_;
};

}  // namespace seriallink
