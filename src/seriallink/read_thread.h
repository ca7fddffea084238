// TReadThread: keeps a read pending on the port at all times, cuts what
// arrives into chunks by the read timeouts and posts each chunk, and each
// line error, to the owner.
#pragma once

#include <thread>

#include "seriallink/worker_link.h"

namespace seriallink {

class TReadThread {
public:
    explicit TReadThread(WorkerLink& link);  // starts; throws std::system_error
    ~TReadThread();                          // the owner sets the stop signal first
    TReadThread(const TReadThread&) = delete;
    TReadThread& operator=(const TReadThread&) = delete;

private:
    std::thread thread_;
};

}  // namespace seriallink
