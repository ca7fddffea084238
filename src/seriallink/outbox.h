// Notifications a worker has made but not posted yet. They go out together
// in a single write, so the owner wakes once for them; the chunks stay owned
// here until that write has succeeded.
#pragma once

#include <array>
#include <cstddef>

#include "seriallink/notify_channel.h"
#include "seriallink/worker_link.h"

namespace seriallink {

class Outbox {
public:
    bool Full() const { return count_ == records_.size(); }
    bool Empty() const { return count_ == 0; }
    std::size_t Size() const { return count_; }

    void Add(const NotifyRecord& record, ByteBlock chunk = {}) {
        records_[count_] = record;
        chunks_[count_] = std::move(chunk);
        ++count_;
    }

    // Posts everything held; false when the post failed, the chunks are
    // then released here.
    bool Send(const WorkerLink& link) {
        const bool posted = link.Notify().Post(records_.data(), count_, link.Stop().Fd());
        for (std::size_t i = 0; i < count_; ++i) {
            if (posted) {
                chunks_[i].release();  // the owner's now
            } else {
                chunks_[i].reset();
            }
        }
        count_ = 0;
        return posted;
    }

private:
    std::array<NotifyRecord, kMaxRecordsPerPost> records_{};
    std::array<ByteBlock, kMaxRecordsPerPost> chunks_;
    std::size_t count_ = 0;
};

}  // namespace seriallink
