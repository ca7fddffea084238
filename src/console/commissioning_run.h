// "Write All Settings" and "Verify Against File…" in the window: the
// settings run with the window as its host. Frames go through the window's
// own send steps, so the send line and the receive box show each frame and
// reply as a button does; the receive and decode steps tell the run that a
// reply has been dealt with; a progress dialog shows how far it is and
// stops it after the frame in flight.
#pragma once

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>

#include "settings/commissioning.h"

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class TForm1;

namespace console {

class CommissioningRun final : public QObject, public settings::CommissioningHost {
    Q_OBJECT

public:
    explicit CommissioningRun(TForm1& window);
    ~CommissioningRun() override;

    // False, after saying so, when the port is closed: nothing may be sent.
    bool RequirePortOpen();
    // Writes `fields` first when `write`, then reads back and compares.
    void Start(const settings::Fields& fields, bool write);
    bool running() const;
    // The run's own record, once it has begun.
    const settings::Commissioning* run() const { return run_.get(); }
    QDialog& progressDialog() { return *progress_; }
    // Write frames sent by the run (0 for a verify), for its record.
    int framesWritten() const { return std::min(framesSent_, writeFrames_); }

    // From the window's exchange cycle: a chunk has been received (and
    // shown); the decode step has run.
    void ReplyReceived();
    // What the decode step decoded, before the window shows it.
    void Decoded(const dialogue::DecodeOutcome& outcome);
    void ReplyDecoded();
    void PortHungUp();

    // settings::CommissioningHost
    void Send(const settings::Step& step) override;
    void StartReplyTimeout() override;
    void StopReplyTimeout() override;
    void Progress(const std::string& text) override;

signals:
    // The run has ended, whatever the outcome; run() tells how.
    void finished();

private:
    void BuildProgressDialog();
    // Runs one step of the run, and closes it with its box once it has ended.
    template <class Step>
    void Drive(Step step);
    void Finish();
    void Cancel();

    TForm1& window_;
    std::unique_ptr<settings::Commissioning> run_;
    QTimer replyTimeout_;
    bool awaitingReply_ = false;
    int framesSent_ = 0;
    int writeFrames_ = 0;

    QDialog* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace console
