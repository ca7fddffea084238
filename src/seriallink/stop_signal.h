// The manual-reset stop signal shared by the workers of one open port: an
// eventfd that is written once and never read, so it stays readable and
// every poll() that includes it returns as soon as it is set.
#pragma once

#include "seriallink/unique_fd.h"

namespace seriallink {

class StopSignal {
public:
    // An unusable signal (Valid() false) when the kernel refuses an eventfd.
    StopSignal();

    bool Valid() const { return static_cast<bool>(fd_); }
    int Fd() const { return fd_.Get(); }
    void Set() const;
    bool IsSet() const;

private:
    UniqueFd fd_;
};

}  // namespace seriallink
