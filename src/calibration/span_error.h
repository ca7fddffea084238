// The error of a current output as a calibrator states it: in percent of
// the 4-20 mA span, signed, and judged as the technician reads it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace calibration {

inline constexpr double kSpanMa = 16.0;
inline constexpr double kDefaultTolerancePercentOfSpan = 0.25;

// (measured - set) / 16 mA x 100, rounded half away from zero to two
// decimals: the figure shown is the figure judged, so 4.04 mA at 4 mA is
// 0.25 % and passes a tolerance of 0.25 %.
double ErrorPercentOfSpan(int setMa, double measuredMa);
// Whether an error as shown (already rounded) is within the tolerance.
bool WithinTolerance(double shownErrorPercent, double tolerancePercent);
// "0.25", "-0.13", "0.00" with the given decimal separator.
std::string FormatPercent(double shownErrorPercent, char decimalSeparator);

// One test point of one pass: the set current and the three readings.
struct PointResult {
    int mA = 0;
    std::array<double, 3> measured{};
    std::array<double, 3> errorPercentOfSpan{};
    std::array<bool, 3> pass{};

    bool operator==(const PointResult&) const = default;
};
PointResult Evaluate(int setMa, const std::array<double, 3>& measured, double tolerancePercent);
// The error of largest magnitude of each output over a pass (0 for none),
// the figure shown beside each output.
std::array<double, 3> WorstErrors(const std::vector<PointResult>& pass);

}  // namespace calibration
