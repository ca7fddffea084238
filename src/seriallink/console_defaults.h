// The serial component's settings as the console's window description gives
// them. The window and vk630e-cli both start from these, so a transmitter is
// spoken to the same way from either; each then sets the port name, the
// baud rate, the parity and XON/XOFF as the window's Open does.
#pragma once

#include "seriallink/tcomm.h"

namespace seriallink {

void ApplyConsoleDefaults(TComm& comm);

}  // namespace seriallink
