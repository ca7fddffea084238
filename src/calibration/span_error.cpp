#include "calibration/span_error.h"

#include <charconv>
#include <cmath>
#include <string>

namespace calibration {
namespace {

// Typed readings are decimal, their differences binary: 4.04 - 4 is a hair
// above or below 0.04. Rounding first to far below the shown hundredths
// removes that hair, so a reading that is exactly at a half shows as one.
constexpr double kNoiseScale = 1e8;
// Beyond this the noise step would lose the value itself.
constexpr double kNoiseLimit = 1e7;

}  // namespace

double ErrorPercentOfSpan(int setMa, double measuredMa) {
    double hundredths = (measuredMa - setMa) / kSpanMa * 100.0 * 100.0;
    if (std::fabs(hundredths) < kNoiseLimit)
        hundredths = std::round(hundredths * kNoiseScale) / kNoiseScale;
    // std::round rounds half away from zero; "+ 0.0" turns -0 into 0.
    return std::round(hundredths) / 100.0 + 0.0;
}

bool WithinTolerance(double shownErrorPercent, double tolerancePercent) {
    // Both are decimals of at most a few places; compare them as such.
    constexpr double kSlack = 1e-9;
    return std::fabs(shownErrorPercent) <= tolerancePercent + kSlack;
}

std::string FormatPercent(double shownErrorPercent, char decimalSeparator) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, shownErrorPercent,
                                         std::chars_format::fixed, 2);
    std::string text = ec == std::errc{} ? std::string(buffer, end) : std::string("?");
    if (text == "-0.00") text = "0.00";
    if (const auto point = text.find('.'); point != std::string::npos)
        text[point] = decimalSeparator;
    return text;
}

PointResult Evaluate(int setMa, const std::array<double, 3>& measured, double tolerancePercent) {
    PointResult result;
    result.mA = setMa;
    result.measured = measured;
    for (std::size_t k = 0; k < measured.size(); ++k) {
        result.errorPercentOfSpan[k] = ErrorPercentOfSpan(setMa, measured[k]);
        result.pass[k] = WithinTolerance(result.errorPercentOfSpan[k], tolerancePercent);
    }
    return result;
}

std::array<double, 3> WorstErrors(const std::vector<PointResult>& pass) {
    std::array<double, 3> worst{};
    for (const PointResult& point : pass) {
        for (std::size_t k = 0; k < worst.size(); ++k) {
            if (std::fabs(point.errorPercentOfSpan[k]) > std::fabs(worst[k]))
                worst[k] = point.errorPercentOfSpan[k];
        }
    }
    return worst;
}

}  // namespace calibration
