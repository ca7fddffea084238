// TWriteThread: takes the copies queued by SendBytes in order, writes each
// whole, and tells the owner whenever the queue has run empty.
#pragma once

#include <thread>

#include "seriallink/worker_link.h"

namespace seriallink {

class TWriteThread {
public:
    explicit TWriteThread(WorkerLink& link);  // starts; throws std::system_error
    ~TWriteThread();                          // the owner sets the stop signal first
    TWriteThread(const TWriteThread&) = delete;
    TWriteThread& operator=(const TWriteThread&) = delete;

private:
    std::thread thread_;
};

}  // namespace seriallink
