#include "cli/calibrate.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>

#include "cli/check_report.h"
#include "cli/line_session.h"
#include "cli/readings_input.h"
#include "dialogue/number_text.h"

namespace cli {
namespace {

calibration::Plan PlanOf(const CalibrateChoice& choice) {
    calibration::Plan plan;
    try {
        plan.pointsMa = calibration::ParsePoints(choice.points);
    } catch (const std::invalid_argument& error) {
        throw Failure(kUsage, std::string("--points: ") + error.what());
    }
    plan.adjustAtMa = choice.adjustAt;
    plan.tolerancePercentOfSpan = choice.tolerance;
    plan.adjust = choice.adjust;
    if (auto why = calibration::CheckPlan(plan)) throw Failure(kUsage, *why);
    return plan;
}

ExitStatus StatusOf(calibration::CheckOutcome outcome) {
    switch (outcome) {
        case calibration::CheckOutcome::Passed:
            return kDone;
        case calibration::CheckOutcome::Failed:
            return kOutOfTolerance;
        case calibration::CheckOutcome::AdjustmentFailed:
            return kDifferences;
        case calibration::CheckOutcome::NoReply:
        case calibration::CheckOutcome::HungUp:
            return kNoReply;
        case calibration::CheckOutcome::Running:
        case calibration::CheckOutcome::Cancelled:
            break;
    }
    return kUsage;  // only the readings' end cancels it here
}

}  // namespace

ExitStatus Calibrate(const CalibrateChoice& choice, const LineChoice& line) {
    const calibration::Plan plan = PlanOf(choice);
    Progress progress;
    LineSession session(line, progress);
    // The readings are typed with a point or a comma; the coefficients go to
    // the device with a point, which is what it stores.
    calibration::OutputCheck check(session, plan, '.');
    ReadingsInput input(std::cin, ::isatty(STDIN_FILENO) == 1, progress, session.StopFd());
    CheckReport report(check, line.port);

    const calibration::CheckOutcome outcome =
        session.Run(check, [&](int mA, calibration::Pass pass) {
            while (auto typed = input.Next(mA, pass)) {
                try {
                    check.Readings(*typed);
                    // The next point's progress is already up on a terminal.
                    progress.Clear();
                    report.RowTaken(pass);
                    return;
                } catch (const dialogue::OperatorError& error) {
                    input.Refused(error.what());
                }
            }
            check.Cancel();
        });

    calibration::Unit unit = check.unit();
    unit.port = line.port;
    calibration::Record record = NewRecord(choice.record, unit);
    record.outputs = check.results();
    report.End(calibration::Verdict(record));

    ExitStatus status = StatusOf(outcome);
    if (const int signal = session.StopSignal()) {
        status = StoppedBy(signal);
        std::fprintf(stderr, "vk630e-cli: stopped by SIG%s\n", ::sigabbrev_np(signal));
    }
    if (outcome == calibration::CheckOutcome::HungUp)
        std::fprintf(stderr, "vk630e-cli: %s hung up\n", line.port.c_str());
    if (outcome == calibration::CheckOutcome::NoReply)
        std::fprintf(stderr, "vk630e-cli: no reply from %s within %.1f s\n", line.port.c_str(),
                     session.TimeoutMs() / 1000.0);
    if (input.Ended() && !session.StopSignal())
        std::fprintf(stderr, "vk630e-cli: %s\n", input.Why().c_str());

    if (!choice.record.path) return status;
    // A unit that never said who it is cannot be told from another in a file.
    if (check.unit().identity.empty()) {
        std::fprintf(stderr, "vk630e-cli: no record written: the unit did not identify itself\n");
        return status;
    }
    const ExitStatus saved = SaveRecordFile(choice.record, record);
    return status == kDone || status == kOutOfTolerance ? (saved == kDone ? status : saved)
                                                        : status;
}

}  // namespace cli
