#include "cli/check_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cli {
namespace {

using calibration::Pass;
using calibration::PointResult;

const std::vector<PointResult>& Rows(const calibration::OutputsSection& results, Pass pass) {
    static const std::vector<PointResult> none;
    if (pass == Pass::AsFound) return results.asFound;
    return results.asLeft ? *results.asLeft : none;
}

std::string Percent(double error) {
    return calibration::FormatPercent(error, '.');
}

// One line of the table, without the blanks its last column leaves.
void PrintLine(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    std::printf("%s\n", line.c_str());
}

std::string Formatted(const char* format, auto... values) {
    const int length = std::snprintf(nullptr, 0, format, values...);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, values...);
    text.pop_back();
    return text;
}

}  // namespace

void CheckReport::Begin(Pass pass) {
    if (!unitShown_) {
        const calibration::Unit& unit = check_.unit();
        std::printf("Unit \"%s\", address %s, on %s\n", unit.identity.c_str(), unit.address.c_str(),
                    port_.c_str());
        unitShown_ = true;
    }
    if (pass == Pass::AsLeft) {
        CloseTable();
        Adjustment();
    }
    std::printf("%s, tolerance %s %% of span\n", pass == Pass::AsFound ? "As found" : "As left",
                Percent(check_.results().tolerancePercentOfSpan).c_str());
    PrintLine(Formatted("%6s  %-19s  %-19s  %-19s", "set mA", "output 1", "output 2", "output 3"));
    table_ = pass;
}

void CheckReport::RowTaken(Pass pass) {
    if (table_ != pass) Begin(pass);
    const std::vector<PointResult>& rows = Rows(check_.results(), pass);
    if (rows.empty()) return;
    const PointResult& row = rows.back();
    std::string line = Formatted("%6d", row.mA);
    for (int k = 0; k < 3; ++k)
        line +=
            Formatted("  %7.3f %6s %-4s", row.measured[k],
                      Percent(row.errorPercentOfSpan[k]).c_str(), row.pass[k] ? "pass" : "FAIL");
    PrintLine(line);
    std::fflush(stdout);
}

void CheckReport::CloseTable() {
    if (!table_) return;
    const std::vector<PointResult>& rows = Rows(check_.results(), *table_);
    table_.reset();
    if (rows.empty()) return;
    std::string line = Formatted("%6s", "worst");
    for (int k = 0; k < 3; ++k) {
        double worst = 0.0;
        for (const PointResult& row : rows)
            if (std::fabs(row.errorPercentOfSpan[k]) > std::fabs(worst))
                worst = row.errorPercentOfSpan[k];
        line += Formatted("  %7s %6s %-4s", "", Percent(worst).c_str(), "");
    }
    PrintLine(line);
}

void CheckReport::Adjustment() {
    const auto& adjustment = check_.results().adjustment;
    if (adjustmentShown_ || !adjustment) return;
    adjustmentShown_ = true;
    std::printf("Coefficients before: %s %s %s\n", adjustment->before[0].c_str(),
                adjustment->before[1].c_str(), adjustment->before[2].c_str());
    std::printf("Coefficients after:  %s %s %s (at %d mA), %s\n", adjustment->after[0].c_str(),
                adjustment->after[1].c_str(), adjustment->after[2].c_str(),
                check_.results().adjustAt,
                adjustment->verified ? "read back" : "not read back as sent");
}

void CheckReport::End(const std::string& verdict) {
    CloseTable();
    Adjustment();
    std::printf("Verdict: %s\n", verdict == "fail" ? "FAIL" : verdict.c_str());
    for (const std::string& note : check_.notes()) std::printf("%s\n", note.c_str());
    std::fflush(stdout);
}

}  // namespace cli
