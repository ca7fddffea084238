// The technician's meter readings on standard input: one line of three
// currents for each test point, separated by spaces, with a decimal point
// or a comma. On a terminal each line is asked for and a line that is no
// reading is asked for again; from a pipe no prompt is shown and a line that
// is no reading ends the input, since a script cannot answer a question.
#pragma once

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/output_check.h"
#include "cli/progress.h"

namespace cli {

// "4,01 4.00  3,98" -> {"4.01", "4.00", "3.98"}: exactly three words, a
// comma taken for the decimal point; nothing for any other line.
std::optional<std::array<std::string, 3>> SplitReadings(std::string_view line);

class ReadingsInput {
public:
    // `terminal`: whether `in` is one, so that prompts and second chances
    // make sense. On a terminal the wait for a line also ends when `stopFd`
    // becomes readable (a signal asked the program to stop).
    ReadingsInput(std::istream& in, bool terminal, Progress& progress, int stopFd = -1);

    // The next line for `mA`, prompted on a terminal; nothing at the end of
    // the input, or after a line that was no reading from a pipe (Why()).
    std::optional<std::array<std::string, 3>> Next(int mA, calibration::Pass pass);
    // The readings of the last line were refused with `why` (a text that is
    // no number): said on standard error; from a pipe the input ends.
    void Refused(const std::string& why);
    bool Ended() const { return ended_.has_value(); }
    // Why the input ended: "standard input ended", "line 3: ...".
    const std::string& Why() const { return *ended_; }

private:
    std::istream& in_;
    bool terminal_;
    Progress& progress_;
    int stopFd_;
    int lineNumber_ = 0;
    std::optional<std::string> ended_;
};

}  // namespace cli
