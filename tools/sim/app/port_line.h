// The line on a real serial port, through the console's own serial link.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/line.h"
#include "app/logger.h"
#include "core/options.h"

namespace vk630sim {

// Throws std::exception with the serial link's message when the port
// cannot be opened.
std::unique_ptr<Line> OpenPortLine(const std::string& device, std::uint32_t baud, LineParity parity,
                                   const Logger& log);

}  // namespace vk630sim
