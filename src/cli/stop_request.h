// SIGINT (Ctrl-C), SIGTERM and SIGHUP ask a run to stop rather than end the
// program where it stands: the frame in flight is finished, the traffic log
// gets its last lines and the caller is told how far the run got. A signal
// ignored when the program started stays ignored; a second one of the same
// kind ends the program at once, as it would without this.
#pragma once

#include <signal.h>

#include <vector>

#include "seriallink/unique_fd.h"

namespace cli {

class StopRequest {
public:
    // Installs the handlers; one instance at a time.
    StopRequest();
    ~StopRequest();  // restores the handling there was before
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Readable once a stop has been asked for; Take() empties it.
    int Fd() const { return readEnd_.Get(); }
    void Take() const;
    // The first signal that asked, 0 while none has.
    int Signal() const;

private:
    seriallink::UniqueFd readEnd_;
    seriallink::UniqueFd writeEnd_;
    struct Taken {
        int number;
        struct sigaction before;
    };
    std::vector<Taken> taken_;
};

}  // namespace cli
