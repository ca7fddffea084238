// "Calibrate Outputs…" in the window: the output check with the window as
// its host, as the settings run has it. Frames go through the window's own
// send steps, so the send line and the receive box show each frame and
// reply as a button does; the window's receive, decode and hang-up steps
// tell the check; the readings come from the dialog's table.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>

#include "calibration/output_check.h"

class TForm1;

namespace console {

class CalibrationDialog;
class SessionRecord;

class CalibrationRun final : public QObject, public calibration::OutputCheckHost {
    Q_OBJECT

public:
    // Made on first use: the dialog is built here, never at start-up.
    CalibrationRun(TForm1& window, SessionRecord& record);
    ~CalibrationRun() override;

    CalibrationDialog& dialog() { return *dialog_; }
    bool running() const;
    const calibration::OutputCheck* check() const { return check_.get(); }

    // From the window's exchange cycle: a chunk has been received (and
    // shown); the decode step has run; the line hung up.
    void ReplyReceived(std::string_view chunk);
    void ReplyDecoded();
    void PortHungUp();

    // calibration::OutputCheckHost
    void Send(const settings::Step& step) override;
    void StartReplyTimeout() override;
    void StopReplyTimeout() override;
    void Progress(const std::string& text) override;
    void AskReadings(int mA, calibration::Pass pass) override;

private:
    void Start();
    void Cancel();
    void HandInReadings();
    template <class Step>
    void Drive(Step step);
    void Finish();

    TForm1& window_;
    SessionRecord& record_;
    const char separator_;
    CalibrationDialog* dialog_ = nullptr;
    std::unique_ptr<calibration::OutputCheck> check_;
    // What the technician entered at the start; the unit's own identity
    // and address come from the check.
    calibration::Unit unitAtStart_;
    std::string technician_;
    std::string meter_;
    QTimer replyTimeout_;
    bool awaitingReply_ = false;
    std::string reply_;
    calibration::Pass askedPass_ = calibration::Pass::AsFound;
};

}  // namespace console
