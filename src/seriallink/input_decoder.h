// Turns what the driver hands over into the bytes that were sent: undoes the
// in-band marking of line errors (PARMRK: 0xFF 0xFF is a data 0xFF, 0xFF 0x00
// X is X received with an error, 0xFF 0x00 0x00 a break) and drops zero
// bytes when asked to, and tells which line errors happened.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seriallink/tty_control.h"

namespace seriallink {

struct InputOptions {
    bool marked = false;         // the driver marks errors in-band
    bool replaceMarked = false;  // a byte received with an error becomes `replacement`
    char replacement = 0;
    bool dropNulls = false;
};

struct MarkTally {
    unsigned breaks = 0;       // marked zero: a break (or a zero with a framing error)
    unsigned markedBytes = 0;  // a byte received with a parity or framing error
    bool Any() const { return breaks != 0 || markedBytes != 0; }
};

class InputDecoder {
public:
    // Decodes n raw bytes in place and returns how many data bytes are now
    // at the front of buffer. A marking cut between two reads is carried
    // over to the next call.
    std::size_t Decode(unsigned char* buffer, std::size_t n, const InputOptions& options,
                       MarkTally& tally);

private:
    enum class State { Data, Escape, Marked };
    State state_ = State::Data;
};

// The line-error flags of OnReceiveError for one stretch of input. The
// driver's counters (delta since the last look; null where it keeps none)
// tell the kinds apart; without them the markings give the best guess.
// Parity errors count only when parity is checked.
std::uint32_t LineErrorFlags(const tty::Counters* delta, const MarkTally& marks, bool parityCheck);

tty::Counters CounterDelta(const tty::Counters& now, const tty::Counters& before);

}  // namespace seriallink
