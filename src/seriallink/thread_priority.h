// Worker threads' names and priorities: the receive thread above the
// transmit thread, both above the owner, so bytes leave the driver before
// its queue fills.
#pragma once

#include <thread>

namespace seriallink {

// Lowers the calling thread's nice value by `levels`; where the system does
// not permit it the thread simply keeps its priority.
void RaiseThisThreadPriority(int levels);

// Names a thread ("tcomm-rx", ...) for ps, top and debuggers; every thread
// of the serial link is named "tcomm-..." as soon as it exists.
void NameThread(std::thread& thread, const char* name);

}  // namespace seriallink
