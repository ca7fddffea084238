// A wrong value as a message quotes it: short, and in characters a terminal
// and a message box show as they are, whatever the value holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace settings {

// How much of a value a message quotes before "…".
inline constexpr std::size_t kQuotedBytes = 40;

// In double quotes; printable ASCII as it is, any other byte as \xNN (a NUL
// is \x00), '"' and '\' escaped; the first kQuotedBytes bytes only.
std::string Quoted(std::string_view bytes);

// At most `most` bytes of a UTF-8 text, cut before a whole character, with
// "…" where it was cut.
std::string Shortened(std::string_view text, std::size_t most);

}  // namespace settings
