#include "settings/commissioning.h"

#include <cmath>
#include <utility>

#include "dialogue/frames.h"

namespace settings {

int ReplyTimeoutMs(std::uint32_t baud) {
    constexpr double kLongestExchangeBytes = 420;
    constexpr double kBitsPerByte = 11;  // start, 8 data, parity, stop
    constexpr double kReferenceBaud = 9600;
    if (baud == 0 || baud >= kReferenceBaud) return kReplyTimeoutMs;
    const double extraSeconds =
        kLongestExchangeBytes * kBitsPerByte * (1.0 / baud - 1.0 / kReferenceBaud);
    return kReplyTimeoutMs + static_cast<int>(std::ceil(extraSeconds * 1000));
}

bool DecodeFollows(std::int32_t replyKind) {
    return replyKind != dialogue::KindDisplayOnly;
}

Commissioning::Commissioning(CommissioningHost& host, Fields toWrite, bool write, bool verify)
    : host_(host), toWrite_(std::move(toWrite)), verify_(verify) {
    if (write) {
        steps_ = WriteSteps(toWrite_, skipped_);
        // What was not sent is not compared either.
        toWrite_ = SentPart(toWrite_);
    }
    writes_ = steps_.size();
    if (verify) {
        for (Step& step : ReadBackSteps()) steps_.push_back(std::move(step));
    }
}

void Commissioning::Start() {
    if (outcome_ != Outcome::Running || next_ != 0 || awaiting_) return;
    SendNext();
}

void Commissioning::SendNext() {
    if (cancelRequested_) return End(Outcome::Cancelled);
    if (next_ == steps_.size()) return Finish();
    const Step& step = steps_[next_];
    const bool writing = next_ < writes_;
    const std::size_t number = writing ? next_ + 1 : next_ - writes_ + 1;
    const std::size_t total = writing ? writes_ : steps_.size() - writes_;
    host_.Progress(std::string(writing ? "Writing " : "Reading back ") + std::to_string(number) +
                   " of " + std::to_string(total) + ": " + step.group);
    ++next_;
    awaiting_ = true;
    host_.Send(step);
    host_.StartReplyTimeout();
}

void Commissioning::ReplyDecoded() {
    if (!awaiting_ || outcome_ != Outcome::Running) return;
    awaiting_ = false;
    host_.StopReplyTimeout();
    SendNext();
}

void Commissioning::TimedOut() {
    if (!awaiting_ || outcome_ != Outcome::Running) return;
    End(Outcome::NoReply);
}

void Commissioning::Cancel() {
    if (outcome_ != Outcome::Running) return;
    cancelRequested_ = true;
    // With nothing in flight there is nothing to wait for.
    if (!awaiting_) End(Outcome::Cancelled);
}

void Commissioning::HungUp() {
    if (outcome_ != Outcome::Running) return;
    End(Outcome::HungUp);
}

void Commissioning::Decoded(const dialogue::DecodeOutcome& outcome) {
    // Nothing is awaited once the run has ended.
    if (awaiting_ && next_ > writes_) Apply(reported_, outcome);
}

void Commissioning::Finish() {
    if (!verify_) return End(Outcome::Verified);
    differences_ = Compare(toWrite_, reported_);
    checked_ = CountHeld(toWrite_);
    End(differences_.empty() ? Outcome::Verified : Outcome::Differences);
}

void Commissioning::End(Outcome outcome) {
    awaiting_ = false;
    host_.StopReplyTimeout();
    outcome_ = outcome;
}

std::string Commissioning::Summary() const {
    if (next_ == 0) return "Nothing was sent.";
    // The frame in flight when the run stopped got no (complete) answer.
    const bool lastAnswered = outcome_ == Outcome::Verified || outcome_ == Outcome::Differences ||
                              outcome_ == Outcome::Cancelled;
    const std::size_t answered = lastAnswered ? next_ : next_ - 1;
    std::string text =
        std::to_string(answered) + " of " + std::to_string(steps_.size()) + " frames were answered";
    if (answered > 0) text += "; the last was " + steps_[answered - 1].group;
    if (!lastAnswered) text += "; " + steps_[next_ - 1].group + " got no answer";
    return text + ".";
}

}  // namespace settings
