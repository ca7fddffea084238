// The transmitter's line for one command of vk630e-cli: the serial
// component, the exchange cycle on it and a poll loop that stands in for
// the window's event loop. The decode timer's 100 ms and the reply timeout
// are deadlines of that loop; the component's events run on this thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calibration/output_check.h"
#include "cli/port_open.h"
#include "cli/progress.h"
#include "dialogue/exchange_cycle.h"
#include "seriallink/tcomm.h"
#include "seriallink/traffic_log.h"
#include "settings/commissioning.h"
#include "stopping/stop_request.h"

namespace cli {

class LineSession final : private dialogue::ExchangeHost,
                          public settings::CommissioningHost,
                          public calibration::OutputCheckHost {
public:
    using Clock = std::chrono::steady_clock;

    // Opens the line; throws Failure (kPortWontOpen, kFileNotWritten for
    // the log).
    LineSession(const LineChoice& line, cli::Progress& progress);

    // Runs a write-all or verify until it ends; never reopens a line that
    // hung up. A stop asked for by a signal cancels it after the frame in
    // flight.
    settings::Outcome Run(settings::Commissioning& run);

    // Runs an output check until it ends. The check asks for readings with
    // nothing in flight; `takeReadings` then hands them in or cancels it.
    calibration::CheckOutcome Run(
        calibration::OutputCheck& check,
        const std::function<void(int mA, calibration::Pass pass)>& takeReadings);

    // Sends one raw frame as display-only and returns the first chunk
    // received within the timeout; nothing when none came or the line hung
    // up. A stop asked for meanwhile lets the frame finish: callers that
    // ask again look at StopSignal() first.
    std::optional<std::string> Ask(const std::string& frame);

    bool HungUp() const { return hungUp_; }
    int TimeoutMs() const { return timeoutMs_; }
    // The signal that asked the command to stop, 0 for none.
    int StopSignal() const { return stop_.Signal(); }
    // Readable once a signal has asked to stop, for a wait of the caller's
    // own (the technician's readings).
    int StopFd() const { return stop_.Fd(); }

    // Each frame of Run that was answered: its group and the reply as the
    // receive box would show it.
    struct Answer {
        std::string group;
        std::string reply;
    };
    const std::vector<Answer>& Answers() const { return answers_; }

    // Commissioning and output check host.
    void Send(const settings::Step& step) override;
    void StartReplyTimeout() override;
    void StopReplyTimeout() override { timeoutAt_.reset(); }
    void Progress(const std::string& text) override { progress_.Show(text); }
    void AskReadings(int mA, calibration::Pass pass) override { askedFor_.emplace(mA, pass); }

private:
    // Exchange host: the command line has no send line or receive box.
    void SetSendLine(const std::string&) override {}
    void ClearReceiveBox() override { received_.reset(); }
    void ShowReceived(std::string_view text) override { received_ = std::string(text); }
    bool SendBytes(const std::string& frame) override;
    bool DecodeTimerEnabled() const override { return decodeAt_.has_value(); }
    void EnableDecodeTimer() override;
    void DisableDecodeTimer() override { decodeAt_.reset(); }
    void ApplyUpdates(const dialogue::DecodeOutcome& outcome) override;

    // Waits for the next event or deadline and handles it.
    void WaitOnce();
    // A log that stopped by itself says why once; the exchange goes on.
    void ReportLogStop();

    cli::Progress& progress_;
    // Before the line opens, so that no signal meets a half-open line; a
    // technician who presses Ctrl-C again does not want to wait for the
    // frame in flight.
    stopping::StopRequest stop_{stopping::StopRequest::Again::EndsTheProgram};
    // Before the component: its close at destruction is still recorded.
    std::unique_ptr<seriallink::TrafficLog> log_;
    seriallink::TComm comm_;
    dialogue::ExchangeCycle exchange_{*this};
    settings::Commissioning* run_ = nullptr;  // while Run runs it
    std::string inFlight_;                    // the group of the frame in flight
    std::vector<Answer> answers_;
    int timeoutMs_;
    std::optional<Clock::time_point> decodeAt_;
    std::optional<Clock::time_point> timeoutAt_;
    std::optional<std::string> received_;
    bool replyDone_ = false;
    bool timedOut_ = false;
    bool hungUp_ = false;
    std::optional<std::pair<int, calibration::Pass>> askedFor_;
};

}  // namespace cli
