// Conversions of operator and reply text to numbers. Every integer the
// console reads (the baud box, decoded index and length fields, the test
// current) goes through TextToInt, so all of them accept and refuse alike.
// Texts are byte strings: one character per byte, codes 0 to 255.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dialogue {

// A failed conversion or calculation; the message is what the operator sees.
class OperatorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Leading blanks (space, tab, LF, VT, FF, CR) and one sign accepted, then at
// least one decimal digit and nothing after the digits (not even blanks); a
// value outside 32 bits is refused. Decimal only, whatever the locale.
// Throws OperatorError "'<text>' is not a valid integer value".
std::int32_t TextToInt(std::string_view text);
bool TryTextToInt(std::string_view text, std::int32_t& value);

// Decimal number with the given decimal separator: leading and trailing
// blanks, an optional sign, digits with at most one separator, an optional
// exponent (e or E, sign, digits); no thousands separators, no "inf"/"nan".
// A value beyond the range of long double (either way) is refused.
// Independent of the C library's locale.
// Throws OperatorError "'<text>' is not a valid floating point value".
long double TextToFloat(std::string_view text, char decimalSeparator);

}  // namespace dialogue
