// Everything that exists only while the port is open: the link shared with
// the workers and the workers themselves.
#pragma once

#include <memory>

#include "seriallink/modem_watcher.h"
#include "seriallink/read_thread.h"
#include "seriallink/worker_link.h"
#include "seriallink/write_thread.h"

namespace seriallink {

class TComm;

struct PortSession {
    PortSession(PortDevice device, const NotifyChannel& notify, ModemLines& lines,
                const MonotonicClock& clock)
        : link(std::move(device), notify, lines, clock) {}
    ~PortSession();  // stops the workers first, then closes the port

    WorkerLink link;
    bool kernelRs485 = false;  // we switched the driver's RS-485 mode on
    std::unique_ptr<TReadThread> receiver;
    std::unique_ptr<TModemWatcher> modemWatcher;
    std::unique_ptr<TWriteThread> transmitter;

    // Ends the workers: stop signal, each joined, then both queues purged.
    // Idempotent.
    void StopWorkers();
};

// Write the component's properties to the open port.
void WriteLineSettings(const TComm& comm, PortSession& session);
void WriteTimeouts(const TComm& comm, PortSession& session);

}  // namespace seriallink
