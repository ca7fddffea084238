// The component's notification endpoint: a pipe carrying fixed-size records
// from the workers to the owner's thread. Records are smaller than PIPE_BUF,
// so every write lands whole and in posting order, whichever thread posts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seriallink/byte_block.h"
#include "seriallink/unique_fd.h"

namespace seriallink {

struct NotifyRecord {
    std::uint32_t code;
    std::uint32_t word;
    std::uint64_t param;  // for NotifyData the chunk's address
};
static_assert(sizeof(NotifyRecord) == 16);

// The code of a record that only wakes the owner; it fires nothing.
inline constexpr std::uint32_t kWakeCode = 0;

// Most records one write may carry and still be atomic.
inline constexpr std::size_t kMaxRecordsPerPost = 4096 / sizeof(NotifyRecord);

class NotifyChannel {
public:
    NotifyChannel();   // throws std::system_error when no pipe can be made
    ~NotifyChannel();  // releases the chunks of records nobody dispatched
    NotifyChannel(const NotifyChannel&) = delete;
    NotifyChannel& operator=(const NotifyChannel&) = delete;

    int ReadFd() const { return read_.Get(); }

    // Worker side. Posts count records (count <= kMaxRecordsPerPost) in one
    // write. When the pipe is full it waits until there is room or until
    // stopFd becomes readable; false when stopped or the pipe failed.
    bool Post(const NotifyRecord* records, std::size_t count, int stopFd) const;

    // Owner side, never blocks: up to max records, 0 when there are none.
    std::size_t Read(NotifyRecord* out, std::size_t max);
    // Owner side, never blocks: makes the read end readable with a record
    // that carries no notification (kWakeCode), unless it is full anyway.
    void Wake() const;

private:
    UniqueFd read_;
    UniqueFd write_;
};

// Takes the chunk of a NotifyData record into ownership; empty for others.
ByteBlock TakeChunk(const NotifyRecord& record);

}  // namespace seriallink
