// What writing the line settings may do with RTS. In the toggled mode RTS
// belongs to whoever raises it around each block: the driver's RS-485 mode,
// or else the transmit thread.
#pragma once

#include "seriallink/tcomm.h"

namespace seriallink {

enum class RtsWrite { Raise, Lower, Leave };

// driverToggles: the driver's RS-485 mode is on. threadToggled: the transmit
// thread was already toggling RTS before these settings were written.
constexpr RtsWrite RtsOnApply(TRtsControl mode, bool driverToggles, bool threadToggled) {
    switch (mode) {
        case TRtsControl::RtsEnable:
        case TRtsControl::RtsHandshake:  // the kernel drives it from here (CRTSCTS)
            return RtsWrite::Raise;
        case TRtsControl::RtsDisable:
            return RtsWrite::Lower;
        case TRtsControl::RtsTransmissionAvailable:
            // Lowering RTS while the thread toggles it could cut the block
            // being written in half; it starts from low when taking over.
            return driverToggles || threadToggled ? RtsWrite::Leave : RtsWrite::Lower;
    }
    return RtsWrite::Leave;
}

}  // namespace seriallink
