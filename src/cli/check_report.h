// The output check on standard output as it goes: the unit, a table per
// pass (set point, then each output's reading, error in % of span and
// pass/FAIL), the worst error per output, the coefficients before and after,
// the verdict and the check's closing notes.
#pragma once

#include <optional>
#include <string>

#include "calibration/output_check.h"

namespace cli {

class CheckReport {
public:
    CheckReport(const calibration::OutputCheck& check, std::string port)
        : check_(check), port_(std::move(port)) {}

    // The readings just handed in for `pass` were taken.
    void RowTaken(calibration::Pass pass);
    // The check has ended; `verdict` as the record states it.
    void End(const std::string& verdict);

private:
    void Begin(calibration::Pass pass);
    void CloseTable();
    void Adjustment();

    const calibration::OutputCheck& check_;
    std::string port_;
    bool unitShown_ = false;
    bool adjustmentShown_ = false;
    std::optional<calibration::Pass> table_;  // the pass whose table is open
};

}  // namespace cli
