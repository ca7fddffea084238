// `vk630e-cli calibrate`: the guided check of the three current outputs,
// with the readings typed or piped in and the record written at the end.
#pragma once

#include <string>

#include "calibration/output_check.h"
#include "cli/exit_status.h"
#include "cli/port_open.h"
#include "cli/record_file.h"

namespace cli {

struct CalibrateChoice {
    std::string points = "4,12,20";
    int adjustAt = 20;
    double tolerance = calibration::kDefaultTolerancePercentOfSpan;
    bool adjust = true;
    RecordChoice record;
};

// 0 pass, 6 out of tolerance, 4 a coefficient not adjusted, 3 no reply or
// hang-up, 1 a wrong plan or readings that ended; 5 or 7 when the record of
// a check that reached its verdict could not be saved.
ExitStatus Calibrate(const CalibrateChoice& choice, const LineChoice& line);

}  // namespace cli
