#include "dialogue/coefficients.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include "dialogue/number_text.h"

namespace dialogue {
namespace {

constexpr std::size_t kDecimals = 4;
constexpr std::size_t kShownLength = 7;
// The digits are first taken at 10 decimals, which absorbs the binary noise
// of the calculation (20.4 is not exact; 1 - 1.00005 cancels most digits)
// while staying far below the fourth decimal that is shown. Rounding from the
// exact binary expansion instead would turn a computed 0.00005 into 0.0000.
constexpr int kWorkingDecimals = 10;
// Room for the widest long double at the working decimals.
constexpr std::size_t kBufferSize = 4096 + 1024;

const char* const kMsgDivisionByZero = "Floating point division by zero";
const char* const kMsgInvalidOperation = "Invalid floating point operation";
const char* const kMsgOverflow = "Floating point overflow";

// Adds one unit to the last digit of a decimal digit string; returns true
// when the carry runs off the front.
bool IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

}  // namespace

std::string FormatCoefficient(long double value, char decimalSeparator) {
    if (std::isnan(value)) throw OperatorError(kMsgInvalidOperation);
    if (std::isinf(value)) throw OperatorError(kMsgOverflow);

    // Locale-independent digits: "-ddd.dddddddddd".
    std::string buffer(kBufferSize, '\0');
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, kWorkingDecimals);
    if (ec != std::errc{}) throw OperatorError(kMsgOverflow);
    std::string_view fixed(buffer.data(), static_cast<std::size_t>(end - buffer.data()));

    const bool negative = fixed.front() == '-';
    if (negative) fixed.remove_prefix(1);
    const std::size_t point = fixed.find('.');
    std::string whole(fixed.substr(0, point));
    std::string fraction(fixed.substr(point + 1, kDecimals));
    const char firstDropped = fixed[point + 1 + kDecimals];

    // Half away from zero: the sign is applied afterwards, so rounding the
    // magnitude up at a 5 is exactly that.
    if (firstDropped >= '5' && IncrementDigits(fraction) && IncrementDigits(whole)) {
        whole.insert(0, "1");
    }

    // A value that rounds to zero is written without a sign: "-0.0000"
    // would mean nothing to the transmitter or the technician.
    const bool allZero = whole.find_first_not_of('0') == std::string::npos &&
                         fraction.find_first_not_of('0') == std::string::npos;
    std::string text = (negative && !allZero) ? "-" : "";
    text += whole;
    text += decimalSeparator;
    text += fraction;
    if (text.size() > kShownLength) text.resize(kShownLength);
    return text;
}

std::array<std::string, 3> CalculateCoefficients(std::string_view s, std::string_view a1,
                                                 std::string_view a2, std::string_view a3,
                                                 char decimalSeparator) {
    const long double test = TextToFloat(s, decimalSeparator);
    const std::array<long double, 3> measured = {TextToFloat(a1, decimalSeparator),
                                                 TextToFloat(a2, decimalSeparator),
                                                 TextToFloat(a3, decimalSeparator)};
    if (test == 0.0L) {
        throw OperatorError(measured[0] != 0.0L ? kMsgDivisionByZero : kMsgInvalidOperation);
    }

    // All three are computed before any is handed back, so an overflow on a
    // later output cannot leave an earlier field changed on its own.
    std::array<std::string, 3> coefficients;
    for (std::size_t k = 0; k < measured.size(); ++k) {
        const long double exact = 1.0L - (measured[k] - test) / test;
        // The result is kept as a double; one beyond its range is an
        // overflow, never an infinity written to a field.
        if (!std::isfinite(exact) || std::fabs(exact) > std::numeric_limits<double>::max()) {
            throw OperatorError(kMsgOverflow);
        }
        coefficients[k] = FormatCoefficient(static_cast<double>(exact), decimalSeparator);
    }
    return coefficients;
}

}  // namespace dialogue
