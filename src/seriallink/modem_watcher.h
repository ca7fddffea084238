// Carrier-detect and ring changes, for drivers that report them. The kernel
// offers only a blocking wait for these (TIOCMIWAIT), so it runs in a
// thread of its own beside the receive thread and is ended by a signal.
#pragma once

#include <thread>

#include "seriallink/worker_link.h"

namespace seriallink {

class TModemWatcher {
public:
    // True where the driver keeps the counters the wait relies on and the
    // wake signal is free; a pseudo-terminal has neither the wait nor the
    // lines, so no watcher runs there.
    static bool Possible(const WorkerLink& link);

    explicit TModemWatcher(WorkerLink& link);  // starts; throws std::system_error
    ~TModemWatcher();                          // the owner sets the stop signal first
    TModemWatcher(const TModemWatcher&) = delete;
    TModemWatcher& operator=(const TModemWatcher&) = delete;

private:
    std::thread thread_;
};

}  // namespace seriallink
