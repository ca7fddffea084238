// The discovered ports as items of the port box, after its fixed items.
#pragma once

#include <QComboBox>
#include <vector>

#include "ports/serial_ports.h"

namespace console {

// Replaces the items after the first `fixedCount` with `ports` (text: the
// path, tooltip: the description) and widens the drop-down to show whole
// paths. What the operator sees and reads stays as it was: the shown text
// (typed or chosen), the cursor and selection in it, "no item selected", a
// selected item as long as it is still present, and the row highlighted in
// the open drop-down.
void ShowPorts(QComboBox& box, const std::vector<ports::SerialPort>& ports, int fixedCount);

}  // namespace console
