// Applies the write frames of the console ("TEKVAR#keyword:arguments#") to
// the settings. A frame is applied whole or not at all: every value is
// checked against its reply width first, and a refusal leaves the settings
// untouched.
//
// Replies: "OK" for an applied write, except the parse bytes of a command
// slot, which are answered with the slot's "COMP0n:" reply since the console
// decodes that reply as a parse reply; refusals read "ERR:<keyword> <what>",
// e.g. "ERR:JTM width" or "ERR:ZDAD02 format value". Error texts never hold
// a key of the parameter reply followed by its colon, so a console that
// decodes them finds nothing. All replies end in CR LF.
#pragma once

#include <string>
#include <string_view>

#include "core/device_state.h"

namespace vk630sim {

inline constexpr const char* kAcknowledge = "OK\r\n";
inline constexpr const char* kUnknownCommand = "ERR:unknown command\r\n";

std::string ApplyWrite(DeviceState& state, std::string_view keyword, std::string_view arguments);

}  // namespace vk630sim
