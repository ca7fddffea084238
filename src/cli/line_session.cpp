#include "cli/line_session.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "cli/exit_status.h"
#include "dialogue/frames.h"

namespace cli {
namespace {

// The window's decode timer.
constexpr std::chrono::milliseconds kDecodeTick{100};

}  // namespace

LineSession::LineSession(const LineChoice& line, cli::Progress& progress)
    : progress_(progress), timeoutMs_(settings::ReplyTimeoutMs(line.baud)) {
    comm_.OnReceiveData = [this](seriallink::TComm*, const void* buffer, std::uint16_t length) {
        exchange_.Receive(buffer, length);
        // A display-only reply gets no decode step: it is done when shown.
        if (!settings::DecodeFollows(exchange_.ReplyKind)) replyDone_ = true;
    };
    comm_.OnRequestHangup = [this](seriallink::TComm*) { hungUp_ = true; };
    if (!line.logPath.empty()) {
        try {
            log_ = std::make_unique<seriallink::TrafficLog>(line.logPath);
        } catch (const std::system_error& error) {
            throw Failure(kFileNotWritten, error.what());
        }
        comm_.SetTrafficTap(log_.get());
    }
    OpenLikeTheWindow(comm_, line);
}

void LineSession::ReportLogStop() {
    if (!log_) return;
    if (const auto notice = log_->TakeStopNotice()) {
        progress_.Clear();
        std::fprintf(stderr, "vk630e-cli: %s\n", notice->c_str());
    }
}

bool LineSession::SendBytes(const std::string& frame) {
    // Frames from the run have been checked to fit one send.
    return comm_.SendBytes(frame.data(), static_cast<std::uint16_t>(frame.size()));
}

void LineSession::EnableDecodeTimer() {
    decodeAt_ = Clock::now() + kDecodeTick;
}

void LineSession::ApplyUpdates(const dialogue::DecodeOutcome& outcome) {
    if (run_) run_->Decoded(outcome);
    // The window shows this in its error box and keeps what was decoded
    // before it; the comparison then shows the setting as it stands.
    if (outcome.error) {
        progress_.Clear();
        std::fprintf(stderr, "vk630e-cli: %s\n", outcome.error->c_str());
    }
}

void LineSession::Send(const settings::Step& step) {
    inFlight_ = step.group;
    exchange_.Send(step.frame, step.kind);
}

void LineSession::StartReplyTimeout() {
    timeoutAt_ = Clock::now() + std::chrono::milliseconds(timeoutMs_);
}

void LineSession::WaitOnce() {
    std::optional<Clock::time_point> deadline = decodeAt_;
    if (timeoutAt_ && (!deadline || *timeoutAt_ < *deadline)) deadline = timeoutAt_;
    int waitMs = -1;
    if (deadline) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
        waitMs = static_cast<int>(std::max<decltype(left)>(left, 0));
    }
    pollfd fds[2] = {{comm_.NotifyFd(), POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
    const int ready = ::poll(fds, stop_.Fd() >= 0 ? 2 : 1, waitMs);
    if (ready > 0 && fds[0].revents != 0) comm_.DispatchNotification();
    if (ready > 0 && fds[1].revents != 0) stop_.Take();
    if (ready < 0 && errno != EINTR) hungUp_ = true;  // the loop cannot go on
    ReportLogStop();

    const auto now = Clock::now();
    if (decodeAt_ && now >= *decodeAt_) {
        exchange_.Tick();  // disables the decode timer first
        replyDone_ = true;
    }
    if (timeoutAt_ && now >= *timeoutAt_) timedOut_ = true;
}

settings::Outcome LineSession::Run(settings::Commissioning& run) {
    run_ = &run;
    if (StopSignal() != 0) run.Cancel();  // asked for before anything was sent
    run.Start();
    while (run.outcome() == settings::Outcome::Running) {
        WaitOnce();
        // Repeated at every wait, harmlessly: the run stops once the frame
        // in flight has its answer or its timeout.
        if (StopSignal() != 0) run.Cancel();
        if (hungUp_) {
            run.HungUp();
        } else if (replyDone_) {
            // A reply beats a timeout that fell due in the same wait.
            replyDone_ = timedOut_ = false;
            answers_.push_back({inFlight_, received_.value_or("")});
            run.ReplyDecoded();
        } else if (timedOut_) {
            timedOut_ = false;
            run.TimedOut();
        }
    }
    run_ = nullptr;
    progress_.Clear();
    return run.outcome();
}

calibration::CheckOutcome LineSession::Run(
    calibration::OutputCheck& check,
    const std::function<void(int mA, calibration::Pass pass)>& takeReadings) {
    if (StopSignal() != 0) check.Cancel();  // asked for before anything was sent
    check.Start();
    while (check.outcome() == calibration::CheckOutcome::Running) {
        if (StopSignal() != 0) check.Cancel();  // after the frame in flight
        if (check.outcome() != calibration::CheckOutcome::Running) break;
        if (askedFor_) {
            const auto [mA, pass] = *askedFor_;
            askedFor_.reset();
            progress_.Clear();
            takeReadings(mA, pass);
            continue;
        }
        WaitOnce();
        if (hungUp_) {
            check.HungUp();
        } else if (replyDone_) {
            replyDone_ = timedOut_ = false;
            check.ReplyDone(received_.value_or(""));
        } else if (timedOut_) {
            timedOut_ = false;
            check.TimedOut();
        }
    }
    progress_.Clear();
    return check.outcome();
}

std::optional<std::string> LineSession::Ask(const std::string& frame) {
    exchange_.Send(frame, dialogue::KindDisplayOnly);
    timedOut_ = false;
    StartReplyTimeout();
    while (!received_ && !hungUp_ && !timedOut_) WaitOnce();
    StopReplyTimeout();
    if (hungUp_) return std::nullopt;
    return received_;
}

}  // namespace cli
