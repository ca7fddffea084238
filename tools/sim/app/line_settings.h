// The rate of a terminal, at any rate the kernel can hold (not only the
// standard ones). Kept apart because the kernel's interface for it cannot
// share a file with the C library's <termios.h>. A pseudo-terminal keeps
// the rate it is given but clears the parity bit, so parity cannot be
// compared there.
#pragma once

#include <cstdint>
#include <optional>

namespace vk630sim {

std::optional<std::uint32_t> ReadTerminalBaud(int fd);
bool WriteTerminalBaud(int fd, std::uint32_t baud);

}  // namespace vk630sim
