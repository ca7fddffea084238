#include "seriallink/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <cstdint>

namespace seriallink {

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void StopSignal::Set() const {
    const std::uint64_t one = 1;
    // Only fails when the counter would overflow, which leaves it readable.
    [[maybe_unused]] const auto written = ::write(fd_.Get(), &one, sizeof one);
}

bool StopSignal::IsSet() const {
    pollfd p{fd_.Get(), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

}  // namespace seriallink
