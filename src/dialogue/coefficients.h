// Correction coefficients of the three current outputs from the test
// current S and the measured currents A1..A3: C = 1 - (A - S) / S.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dialogue {

// Converts all four texts first (in the order S, A1, A2, A3), then computes
// the three coefficients, formatted "0.0000" with the decimal separator and
// cut to 7 characters. Throws OperatorError: the conversion message,
// "Floating point division by zero" (S = 0, A1 != 0),
// "Invalid floating point operation" (S = 0, A1 = 0) or
// "Floating point overflow" (a result beyond a double, e.g. S = 1e-400).
// Nothing is returned in part.
std::array<std::string, 3> CalculateCoefficients(std::string_view s, std::string_view a1,
                                                 std::string_view a2, std::string_view a3,
                                                 char decimalSeparator);

// "0.0000": at least one digit before the separator, four after it, rounded
// half away from zero, no sign on a result that rounds to zero; then cut to
// its first 7 characters. Never depends on the C library's locale.
// Throws OperatorError for an infinite or undefined value.
std::string FormatCoefficient(long double value, char decimalSeparator);

}  // namespace dialogue
