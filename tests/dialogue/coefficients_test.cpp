#include "dialogue/coefficients.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>

#include "dialogue/number_text.h"

namespace dialogue {
namespace {

struct CoefficientCase {
    const char* s;
    const char* a;
    char separator;
    const char* expected;
};

void PrintTo(const CoefficientCase& c, std::ostream* os) {
    *os << "S=" << c.s << " A=" << c.a << " -> " << c.expected;
}

class CoefficientTest : public testing::TestWithParam<CoefficientCase> {};

// The same measured current on all three outputs gives the same coefficient
// in each field; the outputs are checked one at a time in the next test.
TEST_P(CoefficientTest, IsFormattedAndCut) {
    const CoefficientCase& c = GetParam();
    const std::array<std::string, 3> result =
        CalculateCoefficients(c.s, c.a, c.a, c.a, c.separator);
    for (const std::string& coefficient : result) EXPECT_EQ(coefficient, c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedValues, CoefficientTest,
                         testing::Values(CoefficientCase{"20", "20", '.', "1.0000"},
                                         CoefficientCase{"20", "20.4", '.', "0.9800"},
                                         CoefficientCase{"20", "19.5", '.', "1.0250"},
                                         CoefficientCase{"20", "21.3", '.', "0.9350"},
                                         CoefficientCase{"20", "0", '.', "2.0000"},
                                         CoefficientCase{"4", "40", '.', "-8.0000"},
                                         CoefficientCase{"4", "500", '.', "-123.00"},
                                         CoefficientCase{"1", "-100", '.', "102.000"}));

INSTANTIATE_TEST_SUITE_P(DecimalComma, CoefficientTest,
                         testing::Values(CoefficientCase{"20", "20,4", ',', "0,9800"},
                                         CoefficientCase{"20,0", "19,5", ',', "1,0250"},
                                         CoefficientCase{" 4 ", "500", ',', "-123,00"},
                                         CoefficientCase{"1", "-1E2", ',', "102,000"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, CoefficientTest,
    testing::Values(
        // Exactly half a unit of the fourth decimal rounds away from zero,
        // although the binary results lie a hair to either side of it.
        CoefficientCase{"20", "19.999", '.', "1.0001"},
        CoefficientCase{"20", "20.001", '.', "1.0000"},
        CoefficientCase{"2", "0.0001", '.', "2.0000"},
        CoefficientCase{"1", "2.00005", '.', "-0.0001"},
        CoefficientCase{"1", "1.99995", '.', "0.0001"},
        // Carry through every digit.
        CoefficientCase{"1", "-7.99995", '.', "10.0000"},
        CoefficientCase{"1", "11.99995", '.', "-10.000"},
        // Below half a unit: no sign on a zero.
        CoefficientCase{"1", "1.99996", '.', "0.0000"},
        CoefficientCase{"1", "2.00004", '.', "0.0000"}, CoefficientCase{"3", "3", '.', "1.0000"},
        CoefficientCase{"3", "1", '.', "1.6667"}, CoefficientCase{"3", "5", '.', "0.3333"},
        CoefficientCase{"7", "1e-3", '.', "1.9999"}, CoefficientCase{"1e-3", "1e3", '.', "-999998"},
        CoefficientCase{"-20", "-20.4", '.', "0.9800"}));

TEST(Coefficients, EachOutputFromItsOwnMeasurement) {
    const auto result = CalculateCoefficients("20", "21.3", "20", "19.5", '.');
    EXPECT_EQ(result, (std::array<std::string, 3>{"0.9350", "1.0000", "1.0250"}));
}

void ExpectError(const char* s, const char* a1, const char* a2, const char* a3, char separator,
                 const std::string& message) {
    try {
        CalculateCoefficients(s, a1, a2, a3, separator);
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const OperatorError& e) {
        EXPECT_EQ(e.what(), message);
    }
}

TEST(Coefficients, ConversionFailuresNameTheFirstBadField) {
    ExpectError("", "20", "20", "20", '.', "'' is not a valid floating point value");
    ExpectError("20", "x", "y", "z", '.', "'x' is not a valid floating point value");
    ExpectError("20", "20", "20", "20,4", '.', "'20,4' is not a valid floating point value");
    ExpectError("20.0", "20", "20", "20", ',', "'20.0' is not a valid floating point value");
    // All four are read before any division: a bad last field wins over S = 0.
    ExpectError("0", "20", "20", "2 0", '.', "'2 0' is not a valid floating point value");
}

TEST(Coefficients, ZeroTestCurrent) {
    ExpectError("0", "20", "0", "0", '.', "Floating point division by zero");
    ExpectError("0", "-1", "0", "0", '.', "Floating point division by zero");
    ExpectError("-0", "0", "20", "20", '.', "Invalid floating point operation");
    ExpectError("0,0", "0e5", "1", "1", ',', "Invalid floating point operation");
}

TEST(Coefficients, ResultBeyondADoubleIsAnOverflowNotAnInfinity) {
    ExpectError("1e-400", "1", "1", "1", '.', "Floating point overflow");
    ExpectError("1", "1e400", "1", "1", '.', "Floating point overflow");
    // A later output overflowing leaves nothing half-done either.
    ExpectError("1e-400", "0", "0", "1", '.', "Floating point overflow");
}

// Measured currents typed with three decimals, against exact decimal
// arithmetic: C = (2S - A) / S, so 10000 C = 10 (2000 S - a) / S for
// A = a / 1000, rounded half away from zero. Every tie on this grid lies a
// hair to one side of its binary value, which is what must not show.
std::string ExactCoefficient(long long s, long long a) {
    const long long numerator = 10 * (2000 * s - a);
    const bool negative = (numerator < 0) != (s < 0);
    const long long n = numerator < 0 ? -numerator : numerator;
    const long long d = s < 0 ? -s : s;
    const long long units = (2 * n + d) / (2 * d);  // half away from zero
    std::string digits = std::to_string(units);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    std::string text = (negative && units != 0) ? "-" : "";
    text += digits.substr(0, digits.size() - 4) + "." + digits.substr(digits.size() - 4);
    return text.substr(0, 7);
}

TEST(Coefficients, AgreeWithExactDecimalArithmetic) {
    int mismatches = 0;
    for (long long s : {20LL, 4LL, 3LL, 7LL, -20LL}) {
        for (long long a = -2000; a <= 45000; a += (s == 20 ? 3 : 7)) {
            char text[32];
            std::snprintf(text, sizeof text, "%s%lld.%03lld", a < 0 ? "-" : "",
                          (a < 0 ? -a : a) / 1000, (a < 0 ? -a : a) % 1000);
            const std::string sText = std::to_string(s);
            const std::string got = CalculateCoefficients(sText, text, text, text, '.')[0];
            if (got != ExactCoefficient(s, a) && ++mismatches <= 10) {
                ADD_FAILURE() << "S=" << s << " A=" << text << ": " << got << " instead of "
                              << ExactCoefficient(s, a);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FormatCoefficient, FourDecimalsCutToSevenCharacters) {
    EXPECT_EQ(FormatCoefficient(0.0L, '.'), "0.0000");
    EXPECT_EQ(FormatCoefficient(-0.0L, '.'), "0.0000");
    EXPECT_EQ(FormatCoefficient(0.98L, ','), "0,9800");
    EXPECT_EQ(FormatCoefficient(1.0L - (20.4L - 20.0L) / 20.0L, '.'), "0.9800");
    EXPECT_EQ(FormatCoefficient(static_cast<double>(1.0 - (20.4 - 20.0) / 20.0), '.'), "0.9800");
    EXPECT_EQ(FormatCoefficient(0.00005L, '.'), "0.0001");
    EXPECT_EQ(FormatCoefficient(-0.00005L, '.'), "-0.0001");
    EXPECT_EQ(FormatCoefficient(9.99995L, '.'), "10.0000");
    EXPECT_EQ(FormatCoefficient(99.99995L, '.'), "100.000");
    EXPECT_EQ(FormatCoefficient(-9.99995L, '.'), "-10.000");
    EXPECT_EQ(FormatCoefficient(1234567.0L, '.'), "1234567");
    EXPECT_EQ(FormatCoefficient(1e300L, '.'), "1000000");
    EXPECT_EQ(FormatCoefficient(1e-300L, '.'), "0.0000");
}

}  // namespace
}  // namespace dialogue
