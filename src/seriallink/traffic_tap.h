// What the component tells a traffic recorder, on the owner's thread, in the
// order the owner meets it: each block handed to the transmit thread, each
// received chunk and line event as it is dispatched, each open and close.
#pragma once

#include <cstdint>
#include <string_view>

#include "seriallink/tcomm.h"

namespace seriallink {

enum class TrafficKind : std::uint8_t { Tx, Rx, LineError, Modem, Hangup, Open, Close };

struct TrafficEvent {
    TrafficKind kind;
    std::string_view bytes;          // Tx, Rx: the bytes; Open: the port's name
    std::uint32_t value = 0;         // LineError: the flags; Modem: the event; Open: the baud rate
    TParity parity = TParity::None;  // Open
};

class TrafficTap {
public:
    virtual ~TrafficTap() = default;
    // Must neither throw nor wait for long: it runs inside SendBytes and
    // before every event handler, and the exchange must not notice it.
    virtual void Record(const TrafficEvent& event) noexcept = 0;
};

}  // namespace seriallink
