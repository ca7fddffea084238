#include "seriallink/input_decoder.h"

#include "seriallink/tcomm.h"

namespace seriallink {

std::size_t InputDecoder::Decode(unsigned char* buffer, std::size_t n, const InputOptions& options,
                                 MarkTally& tally) {
    if (!options.marked && !options.dropNulls && state_ == State::Data) return n;
    std::size_t out = 0;  // never ahead of the byte being read
    for (std::size_t in = 0; in < n; ++in) {
        const unsigned char c = buffer[in];
        switch (state_) {
            case State::Data:
                if (options.marked && c == 0xFF) {
                    state_ = State::Escape;
                } else if (!(options.dropNulls && c == 0)) {
                    buffer[out++] = c;
                }
                break;
            case State::Escape:
                if (c == 0) {
                    state_ = State::Marked;
                    break;
                }
                // 0xFF 0xFF is a received 0xFF; any other pair is not a
                // marking the kernel makes, so both bytes are kept.
                buffer[out++] = 0xFF;
                if (c != 0xFF) buffer[out++] = c;
                state_ = State::Data;
                break;
            case State::Marked:
                state_ = State::Data;
                if (c == 0) {
                    ++tally.breaks;  // a condition on the line, not a received byte
                } else {
                    ++tally.markedBytes;
                    buffer[out++] =
                        options.replaceMarked ? static_cast<unsigned char>(options.replacement) : c;
                }
                break;
        }
    }
    return out;
}

tty::Counters CounterDelta(const tty::Counters& now, const tty::Counters& before) {
    tty::Counters d;
    d.dcd = now.dcd - before.dcd;
    d.rng = now.rng - before.rng;
    d.frame = now.frame - before.frame;
    d.overrun = now.overrun - before.overrun;
    d.parity = now.parity - before.parity;
    d.brk = now.brk - before.brk;
    d.bufOverrun = now.bufOverrun - before.bufOverrun;
    return d;
}

std::uint32_t LineErrorFlags(const tty::Counters* delta, const MarkTally& marks, bool parityCheck) {
    if (delta != nullptr) {
        const bool moved = delta->frame != 0 || delta->overrun != 0 || delta->parity != 0 ||
                           delta->brk != 0 || delta->bufOverrun != 0;
        if (moved) {
            std::uint32_t flags = 0;
            if (delta->bufOverrun != 0) flags |= CE_RXOVER;
            if (delta->overrun != 0) flags |= CE_OVERRUN;
            if (delta->parity != 0 && parityCheck) flags |= CE_RXPARITY;
            if (delta->frame != 0) flags |= CE_FRAME;
            if (delta->brk != 0) flags |= CE_BREAK;
            return flags;
        }
    }
    std::uint32_t flags = 0;
    if (marks.breaks != 0) flags |= CE_BREAK;
    if (marks.markedBytes != 0) flags |= parityCheck ? CE_RXPARITY : CE_FRAME;
    return flags;
}

}  // namespace seriallink
