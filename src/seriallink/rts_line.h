// RTS, shared by the owner's setters and the transmit thread. In the toggled
// mode (RtsTransmissionAvailable without the driver's RS-485 mode) the
// thread raises RTS around each block, and the owner may change the mode in
// the middle of one. The level is decided and written under one lock, so
// neither side can undo a level the other decided after it: the line always
// ends at what the mode in force asks for.
#pragma once

#include <functional>
#include <mutex>

#include "seriallink/link_seams.h"
#include "seriallink/tcomm.h"

namespace seriallink {

class RtsLine {
public:
    RtsLine(ModemLines& lines, int fd) : lines_(lines), fd_(fd) {}

    // Owner: the mode from now on. driverToggles: the driver's RS-485 mode
    // raises RTS while sending, so the line is left to it.
    void SetMode(TRtsControl mode, bool driverToggles);

    // Transmit thread, around each block. Where RTS drops after it, drain
    // (called without the lock) first waits until the last bit has left;
    // BlockEnded returns false when drain did (the port is being closed),
    // after dropping RTS all the same.
    void BlockStarts();
    bool BlockEnded(const std::function<bool()>& drain);

private:
    bool Toggled() const;
    void WriteLevel();

    ModemLines& lines_;
    const int fd_;
    std::mutex mutex_;
    TRtsControl mode_ = TRtsControl::RtsEnable;
    bool driverToggles_ = false;
    bool writing_ = false;  // a block is being written
};

}  // namespace seriallink
