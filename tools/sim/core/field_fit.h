// Checks a value received in a write frame against the fixed width it must
// take in the replies. A value that does not fit is refused, never cut.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vk630sim {

// One to `width` decimal digits, left-padded with zeros to `width`.
std::optional<std::string> FitDigits(std::string_view value, std::size_t width);

// A decimal number (optional "-", digits with at most one ".", at least one
// digit) of at most `width` characters, padded to `width` with zeros after
// the sign so that its value stays the same ("5" -> "00005", "-1.5" -> "-01.5").
std::optional<std::string> FitNumber(std::string_view value, std::size_t width);

// One or two decimal digits naming a list entry from 0 to `last`. The
// console's "-1" (nothing selected) and its "0-1" are refused here.
std::optional<int> ParseIndex(std::string_view value, int last);

bool IsHexText(std::string_view value);

}  // namespace vk630sim
