// What the kernel's device tree (/sys, or a tree of the same shape that a
// test lays out) says about character devices: which serial ttys exist,
// what each is (USB adapter, built-in UART, a UART slot with no chip) and
// what kind of device a device number belongs to. Reads attribute files
// only; never opens a device (on real hardware that can raise its modem
// lines).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "ports/port_places.h"

namespace ports {

struct UsbDevice {
    std::string manufacturer, product, serial, vendorId, productId;
    std::string socket;  // the USB port path it is plugged into: 1-1.2 (bus 1, hub port 1, port 2)
};

struct TtyDevice {
    std::string node;        // its device node in PortPlaces::devDir
    std::string kernelName;  // ttyUSB0, ttyACM0, ttyS0
    std::string uartType;    // built-in ports: the UART type, "0" when none is there
    std::optional<UsbDevice> usb;
};

// The ttys named ttyUSB*, ttyACM* and ttyS* that have a device node
// (adapters with other kernel names are found through their stable names);
// in no particular order.
std::vector<TtyDevice> SerialTtys(const PortPlaces& places);

struct CharDevice {
    std::string subsystem;  // "tty", "mem", ...; empty when the tree has no entry
    std::string kernelName;
    std::string uartType;
    std::optional<UsbDevice> usb;  // the USB device it belongs to, if any
};

// Pseudo-terminals have no entry.
CharDevice LookUpCharDevice(const PortPlaces& places, dev_t device);

}  // namespace ports
