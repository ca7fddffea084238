// Opening the transmitter's port as the window does, and telling why it
// would not open.
#pragma once

#include <cstdint>
#include <string>

#include "seriallink/tcomm.h"

namespace cli {

struct LineChoice {
    std::string port;
    std::uint32_t baud = 9600;
    seriallink::TParity parity = seriallink::TParity::None;
    // Where the line's traffic is recorded; empty for no log.
    std::string logPath;
};

// Opens `comm` on the chosen line with the window's component settings.
// Throws Failure (kPortWontOpen) with the message and explanation that the
// window's error box shows.
void OpenLikeTheWindow(seriallink::TComm& comm, const LineChoice& line);

}  // namespace cli
