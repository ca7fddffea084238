#include "calibration/span_error.h"

#include <gtest/gtest.h>

namespace calibration {
namespace {

// The figure shown decides: each case is judged at the default tolerance.
TEST(SpanError, IsJudgedAsShownRoundedHalfAwayFromZero) {
    struct Case {
        int setMa;
        double measured;
        double shown;
        bool pass;
        const char* text;
    };
    const Case cases[] = {
        {4, 4.04, 0.25, true, "0.25"},         // exactly at the tolerance
        {4, 4.0401, 0.25, true, "0.25"},       // shown as 0.25, so it passes
        {4, 4.0408, 0.26, false, "0.26"},      // 0.255 rounds up
        {20, 19.96, -0.25, true, "-0.25"},     // negative at the tolerance
        {20, 19.9592, -0.26, false, "-0.26"},  // -0.255 rounds away from zero
        {12, 12.0007, 0.0, true, "0.00"},      // a hair above shows as 0.00, unsigned
        {12, 11.9993, 0.0, true, "0.00"},     {20, 0.0, -125.0, false, "-125.00"},
        {0, 16.0, 100.0, false, "100.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.measured << " mA at " << c.setMa);
        const double shown = ErrorPercentOfSpan(c.setMa, c.measured);
        EXPECT_DOUBLE_EQ(shown, c.shown);
        EXPECT_EQ(WithinTolerance(shown, kDefaultTolerancePercentOfSpan), c.pass);
        EXPECT_EQ(FormatPercent(shown, '.'), c.text);
    }
    EXPECT_EQ(FormatPercent(-0.13, ','), "-0,13");
    const PointResult point = Evaluate(4, {4.01, 4.0, 3.95}, 0.25);
    EXPECT_EQ(point.pass, (std::array<bool, 3>{true, true, false}));
    EXPECT_DOUBLE_EQ(point.errorPercentOfSpan[0], 0.06);
}

}  // namespace
}  // namespace calibration
