#include "dialogue/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace dialogue {
namespace {

using namespace std::string_literals;

struct IntCase {
    std::string text;
    bool valid;
    std::int32_t value;
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class TextToIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(TextToIntTest, AcceptsOrRefusesWithTheTextInTheMessage) {
    const IntCase& c = GetParam();
    std::int32_t tried = 12345;
    EXPECT_EQ(TryTextToInt(c.text, tried), c.valid);
    if (c.valid) {
        EXPECT_EQ(tried, c.value);
        EXPECT_EQ(TextToInt(c.text), c.value);
    } else {
        EXPECT_EQ(tried, 12345) << "a refused text must not change the value";
        try {
            TextToInt(c.text);
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const OperatorError& e) {
            // The message is read as a C string, so it shows a NUL's text up to the NUL.
            const std::string expected = "'" + c.text + "' is not a valid integer value";
            EXPECT_EQ(e.what(), expected.substr(0, expected.find('\0')));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntTest,
    testing::Values(IntCase{"0", true, 0}, IntCase{"7", true, 7}, IntCase{"020", true, 20},
                    IntCase{"+5", true, 5}, IntCase{"-3", true, -3}, IntCase{"-0", true, 0},
                    IntCase{"  42", true, 42}, IntCase{"\t9", true, 9},
                    IntCase{" \t\n\v\f\r-8", true, -8}, IntCase{" 00", true, 0},
                    IntCase{"2147483647", true, 2147483647},
                    IntCase{"-2147483648", true, INT32_MIN},
                    IntCase{"0000000000000000000000000001", true, 1},
                    // Refused.
                    IntCase{"", false, 0}, IntCase{" ", false, 0}, IntCase{"-", false, 0},
                    IntCase{"+", false, 0}, IntCase{" -", false, 0}, IntCase{"x", false, 0},
                    IntCase{"2.5", false, 0}, IntCase{"20 ", false, 0}, IntCase{"20\t", false, 0},
                    IntCase{"- 5", false, 0}, IntCase{"+-5", false, 0}, IntCase{"--5", false, 0},
                    IntCase{"0x1", false, 0}, IntCase{"$1F", false, 0}, IntCase{"1e3", false, 0},
                    IntCase{"2147483648", false, 0}, IntCase{"-2147483649", false, 0},
                    IntCase{"99999999999999999999", false, 0}, IntCase{"4294967296", false, 0},
                    IntCase{"1\0"s
                            "2",
                            false, 0},
                    IntCase{"\xB2", false, 0},
                    IntCase{"\xA0"
                            "1",
                            false, 0}));

struct FloatCase {
    std::string text;
    char separator;
    bool valid;
    long double value;
};

void PrintTo(const FloatCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text) << " with '" << c.separator << "'";
}

class TextToFloatTest : public testing::TestWithParam<FloatCase> {};

TEST_P(TextToFloatTest, AcceptsOrRefusesWithTheTextInTheMessage) {
    const FloatCase& c = GetParam();
    if (c.valid) {
        EXPECT_EQ(TextToFloat(c.text, c.separator), c.value);
        return;
    }
    try {
        TextToFloat(c.text, c.separator);
        ADD_FAILURE() << "no error for '" << c.text << "'";
    } catch (const OperatorError& e) {
        EXPECT_EQ(e.what(), "'" + c.text + "' is not a valid floating point value");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToFloatTest,
    testing::Values(FloatCase{"20", '.', true, 20.0L}, FloatCase{"20.4", '.', true, 20.4L},
                    FloatCase{"20,4", ',', true, 20.4L}, FloatCase{" 19.5 ", '.', true, 19.5L},
                    FloatCase{"\t-100\t", '.', true, -100.0L}, FloatCase{"+4", '.', true, 4.0L},
                    FloatCase{".5", '.', true, 0.5L}, FloatCase{"5.", '.', true, 5.0L},
                    FloatCase{"2e1", '.', true, 20.0L}, FloatCase{"2.5E-1", '.', true, 0.25L},
                    FloatCase{"1,5e+2", ',', true, 150.0L}, FloatCase{"-0", '.', true, 0.0L},
                    // Beyond a double but inside extended precision.
                    FloatCase{"1e400", '.', true, 1e400L},
                    // Refused.
                    FloatCase{"", '.', false, 0}, FloatCase{"  ", '.', false, 0},
                    FloatCase{".", '.', false, 0}, FloatCase{"-", '.', false, 0},
                    FloatCase{"20,4", '.', false, 0}, FloatCase{"20.4", ',', false, 0},
                    FloatCase{"1.2.3", '.', false, 0}, FloatCase{"1,000.5", '.', false, 0},
                    FloatCase{"1.000,5", ',', false, 0}, FloatCase{"1 000", '.', false, 0},
                    FloatCase{"- 1", '.', false, 0}, FloatCase{"1e", '.', false, 0},
                    FloatCase{"1e+", '.', false, 0}, FloatCase{"e5", '.', false, 0},
                    FloatCase{"1e5.0", '.', false, 0}, FloatCase{"inf", '.', false, 0},
                    FloatCase{"nan", '.', false, 0}, FloatCase{"0x10", '.', false, 0},
                    FloatCase{"20mA", '.', false, 0}, FloatCase{"1e99999", '.', false, 0},
                    FloatCase{"1e-99999", '.', false, 0}));

// The window runs with the operator's locale installed in the C library; the
// conversion must still read exactly the separator it is given.
TEST(TextToFloatLocale, DoesNotDependOnTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // Whichever of these is installed; the comma locales are the telling ones.
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
    for (const char* name : locales) {
        if (!std::setlocale(LC_NUMERIC, name)) continue;
        EXPECT_EQ(TextToFloat("20.4", '.'), 20.4L) << name;
        EXPECT_EQ(TextToFloat("20,4", ','), 20.4L) << name;
        EXPECT_THROW(TextToFloat("20,4", '.'), OperatorError) << name;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace dialogue
