// SIGINT (Ctrl-C), SIGTERM (logout, shutdown) and SIGHUP (the terminal gone)
// ask the program to stop rather than end it where it stands: the handler
// only notes the signal and makes a descriptor readable, and the owner's
// loop ends its work in order (the window closes, a command-line run
// finishes the frame in flight). A signal ignored when the program started
// (nohup, a script's background job) was meant to be outlived and stays
// ignored.
#pragma once

#include <signal.h>

#include <vector>

#include "seriallink/unique_fd.h"

namespace stopping {

class StopRequest {
public:
    enum class Again {
        Asks,           // every signal asks again
        EndsTheProgram  // the first asks; the next of its kind acts as it would without this
    };

    // Installs the handlers; one instance at a time (std::logic_error
    // otherwise). Without a pipe the signals keep their default handling.
    explicit StopRequest(Again again);
    ~StopRequest();  // restores the handling there was before
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Readable once a stop has been asked for; Take() empties it again.
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

}  // namespace stopping
