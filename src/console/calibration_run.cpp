#include "console/calibration_run.h"

#include <QFile>
#include <array>
#include <utility>

#include "console/calibration_dialog.h"
#include "console/commissioning_run.h"
#include "console/field_text.h"
#include "console/session_record.h"
#include "console/tform1.h"

namespace console {
namespace {

// How the check ended, in one line; the notes say which output and why.
QString EndingOf(calibration::CheckOutcome outcome, int timeoutMs) {
    using calibration::CheckOutcome;
    switch (outcome) {
        case CheckOutcome::Passed:
            return QStringLiteral("Done: every output is within the tolerance.");
        case CheckOutcome::Failed:
            return QStringLiteral("Done: an output is out of tolerance.");
        case CheckOutcome::AdjustmentFailed:
            return QStringLiteral("The adjustment did not succeed.");
        case CheckOutcome::NoReply:
            return QStringLiteral("No reply within %1 s.").arg(timeoutMs / 1000.0);
        case CheckOutcome::HungUp:
            return QStringLiteral("The line hung up.");
        default:
            return QStringLiteral("Cancelled.");
    }
}

}  // namespace

CalibrationRun::CalibrationRun(TForm1& window, SessionRecord& record)
    : QObject(&window),
      window_(window),
      record_(record),
      separator_(SystemDecimalSeparator()),
      dialog_(new CalibrationDialog(window, separator_)) {
    dialog_->onStart = [this] { window_.RunAction([this] { Start(); }); };
    dialog_->onCancel = [this] { Cancel(); };
    dialog_->onReadings = [this] {
        window_.RunAction([this] { HandInReadings(); });
        // The error box belongs to the window; the typing goes on here, in
        // the cell the box named.
        dialog_->activateWindow();
    };
    dialog_->isRunning = [this] { return running(); };
    connect(&replyTimeout_, &QTimer::timeout, this,
            [this] { Drive([this] { check_->TimedOut(); }); });
}

CalibrationRun::~CalibrationRun() = default;

bool CalibrationRun::running() const {
    return check_ && check_->outcome() == calibration::CheckOutcome::Running;
}

void CalibrationRun::Start() {
    if (running() || !window_.commissioning().RequirePortOpen()) return;
    calibration::Plan plan = dialog_->PlanEntered();
    unitAtStart_ = {dialog_->Tag(), {}, {}, window_.comm().CommName()};
    technician_ = dialog_->Technician();
    meter_ = dialog_->Meter();
    check_ = std::make_unique<calibration::OutputCheck>(*this, std::move(plan), separator_);
    awaitingReply_ = false;
    replyTimeout_.setInterval(settings::ReplyTimeoutMs(window_.comm().BaudRate()));
    dialog_->Started();
    Drive([this] { check_->Start(); });
}

void CalibrationRun::Cancel() {
    if (!running()) return;
    dialog_->ShowStatus(QStringLiteral("Stopping after the frame in flight\u2026"));
    Drive([this] { check_->Cancel(); });
}

void CalibrationRun::HandInReadings() {
    if (!running()) return;
    const std::array<QString, 3> typed = dialog_->ReadingsTyped();
    std::array<std::string, 3> readings;
    // Each reading is read in turn, as "Calculation Coefficient" reads its
    // fields, so the one the message names is the one that takes the focus.
    for (int output = 0; output < 3; ++output) {
        try {
            FieldToFloat(typed[output], separator_);
        } catch (...) {
            dialog_->FocusReading(output);
            throw;
        }
        readings[output] = typed[output].toLatin1().toStdString();
    }
    Drive([this, &readings] {
        check_->Readings(readings);
        const calibration::OutputsSection& results = check_->results();
        const auto& pass = askedPass_ == calibration::Pass::AsFound
                               ? results.asFound
                               : results.asLeft.value_or(std::vector<calibration::PointResult>{});
        if (!pass.empty()) dialog_->ShowPoint(pass.back());
        dialog_->ShowWorstErrors(results);
    });
}

void CalibrationRun::ReplyReceived(std::string_view chunk) {
    if (!running() || !awaitingReply_) return;
    reply_.assign(chunk);
    // A display-only reply starts no decode: received is dealt with. A decode
    // already pending takes this chunk with it, and its tick tells.
    if (!window_.decodeTimer().isActive()) ReplyDecoded();
}

void CalibrationRun::ReplyDecoded() {
    if (!running() || !awaitingReply_) return;
    awaitingReply_ = false;
    Drive([this] { check_->ReplyDone(reply_); });
}

void CalibrationRun::PortHungUp() {
    Drive([this] { check_->HungUp(); });
}

void CalibrationRun::Send(const settings::Step& step) {
    awaitingReply_ = true;
    reply_.clear();
    window_.SendFrame(step.frame, step.kind);
}

void CalibrationRun::StartReplyTimeout() {
    replyTimeout_.start();
}

void CalibrationRun::StopReplyTimeout() {
    replyTimeout_.stop();
}

void CalibrationRun::Progress(const std::string& text) {
    dialog_->ShowStatus(QString::fromUtf8(text));
}

void CalibrationRun::AskReadings(int mA, calibration::Pass pass) {
    askedPass_ = pass;
    dialog_->AskReadings(mA, pass);
}

template <class Step>
void CalibrationRun::Drive(Step step) {
    if (!running()) return;
    step();
    if (!running()) Finish();
}

void CalibrationRun::Finish() {
    replyTimeout_.stop();
    awaitingReply_ = false;
    dialog_->ShowStatus(EndingOf(check_->outcome(), replyTimeout_.interval()));
    calibration::Unit unit = unitAtStart_;
    unit.identity = check_->unit().identity;
    unit.address = check_->unit().address;
    CheckDone done{std::move(unit), technician_, meter_, check_->results()};
    calibration::Record outputsOnly;
    outputsOnly.outputs = done.outputs;
    dialog_->Ended(calibration::Verdict(outputsOnly), check_->notes());
    record_.CheckEnded(std::move(done));
}

}  // namespace console
