#include "calibration/output_check.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "dialogue/coefficients.h"
#include "dialogue/frames.h"
#include "dialogue/number_text.h"
#include "dialogue/reply_decoding.h"

namespace calibration {
namespace {

constexpr int kLowestPointMa = 0;
constexpr int kHighestPointMa = 24;

std::string PointList(const std::vector<int>& points) {
    std::string text;
    for (const int mA : points) text += (text.empty() ? "" : ", ") + std::to_string(mA);
    return text;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string WithoutLineEnd(std::string_view reply) {
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.remove_suffix(1);
    return std::string(reply);
}

std::string CoefficientControl(int output) {
    return "MAD" + std::to_string(output) + "XS";
}

settings::Step ReadParametersStep() {
    return {"read parameters", dialogue::ReadParametersFrame(), dialogue::KindParameters, {}};
}

}  // namespace

std::vector<int> ParsePoints(std::string_view text) {
    const std::string rule = "the test points are whole milliamperes from 0 to 24, such as 4,12,20";
    std::vector<int> points;
    if (Trimmed(text).empty()) throw std::invalid_argument("No test points given: " + rule);
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = Trimmed(text.substr(start, comma - start));
        int mA = -1;
        const bool digits =
            !item.empty() && item.size() <= 2 &&
            std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits) mA = std::stoi(std::string(item));
        if (mA < kLowestPointMa || mA > kHighestPointMa)
            throw std::invalid_argument("'" + std::string(item) + "' is not a test point: " + rule);
        if (std::find(points.begin(), points.end(), mA) != points.end())
            throw std::invalid_argument("The test point " + std::to_string(mA) +
                                        " mA is named twice");
        points.push_back(mA);
        start = comma + 1;
    }
    return points;
}

std::optional<std::string> CheckPlan(const Plan& plan) {
    if (plan.pointsMa.empty()) return "No test points given";
    for (std::size_t i = 0; i < plan.pointsMa.size(); ++i) {
        const int mA = plan.pointsMa[i];
        if (mA < kLowestPointMa || mA > kHighestPointMa)
            return "The test point " + std::to_string(mA) + " mA is outside 0 to 24 mA";
        if (std::find(plan.pointsMa.begin(), plan.pointsMa.begin() + i, mA) !=
            plan.pointsMa.begin() + i)
            return "The test point " + std::to_string(mA) + " mA is named twice";
    }
    if (plan.adjust && std::find(plan.pointsMa.begin(), plan.pointsMa.end(), plan.adjustAtMa) ==
                           plan.pointsMa.end())
        return "The adjustment point " + std::to_string(plan.adjustAtMa) +
               " mA is not one of the test points " + PointList(plan.pointsMa);
    if (!std::isfinite(plan.tolerancePercentOfSpan) || plan.tolerancePercentOfSpan < 0)
        return "The tolerance must be a percentage of span of 0 or more";
    return std::nullopt;
}

OutputCheck::OutputCheck(OutputCheckHost& host, Plan plan, char decimalSeparator)
    : host_(host), plan_(std::move(plan)), separator_(decimalSeparator) {
    if (auto why = CheckPlan(plan_)) throw std::invalid_argument(*why);
    results_.tolerancePercentOfSpan = plan_.tolerancePercentOfSpan;
    results_.adjustAt = plan_.adjustAtMa;
}

void OutputCheck::Start() {
    if (stage_ != Stage::NotStarted) return;
    Send(
        Stage::Identify,
        {"communication query", dialogue::CommunicationQueryFrame(), dialogue::KindDisplayOnly, {}},
        "Identifying the unit");
}

void OutputCheck::Send(Stage stage, const settings::Step& step, const std::string& progress) {
    host_.Progress(progress);
    stage_ = stage;
    inFlight_ = step.group;
    host_.Send(step);
    host_.StartReplyTimeout();
}

bool OutputCheck::FrameInFlight() const {
    return stage_ != Stage::NotStarted && stage_ != Stage::Readings && stage_ != Stage::Ended;
}

void OutputCheck::ReplyDone(std::string_view reply) {
    if (!FrameInFlight()) return;
    host_.StopReplyTimeout();
    if (cancelRequested_) return End(CheckOutcome::Cancelled);
    settings::Fields reported;
    switch (stage_) {
        case Stage::Identify:
            unit_.identity = WithoutLineEnd(reply);
            return Send(Stage::ReadUnit, ReadParametersStep(), "Reading the unit's parameters");
        case Stage::ReadUnit: {
            if (!Decode(reply, reported)) return;
            const auto address = reported.texts.find("ADRM");
            if (address == reported.texts.end())
                return Stop(CheckOutcome::NoReply, "The unit's parameters hold no address.");
            unit_.address = address->second;
            pass_ = Pass::AsFound;
            point_ = 0;
            return AskPoint();
        }
        case Stage::TestPoint:
            stage_ = Stage::Readings;
            return host_.AskReadings(plan_.pointsMa[point_], pass_);
        case Stage::ReadBefore:
            if (Decode(reply, reported)) BeginAdjustment(reported);
            return;
        case Stage::Row:
            // The device answers a row it will not take with an error text.
            if (reply.starts_with("ERR")) {
                const int output = rows_[row_].first;
                return Stop(CheckOutcome::AdjustmentFailed,
                            "Output " + std::to_string(output) +
                                ": the device refused the coefficient " +
                                results_.adjustment->after[static_cast<std::size_t>(output - 1)] +
                                " (" + WithoutLineEnd(reply) + ").");
            }
            ++row_;
            return SendRow();
        case Stage::ReadAfter:
            if (Decode(reply, reported)) VerifyCoefficients(reported);
            return;
        default:
            return;
    }
}

void OutputCheck::AskPoint() {
    const int mA = plan_.pointsMa[point_];
    lastTestCurrent_ = mA;
    Send(Stage::TestPoint,
         {"test mode " + std::to_string(mA) + " mA",
          dialogue::TestModeFrame(mA),
          dialogue::KindDisplayOnly,
          {}},
         std::string(pass_ == Pass::AsFound ? "As found: " : "As left: ") + std::to_string(mA) +
             " mA (" + std::to_string(point_ + 1) + " of " + std::to_string(plan_.pointsMa.size()) +
             ")");
}

void OutputCheck::Readings(const std::array<std::string, 3>& typed) {
    if (stage_ != Stage::Readings) return;
    std::array<double, 3> measured{};
    for (std::size_t k = 0; k < typed.size(); ++k) {
        measured[k] = static_cast<double>(dialogue::TextToFloat(typed[k], separator_));
        // Beyond a double it cannot be filed; it is no current either.
        if (!std::isfinite(measured[k]))
            throw dialogue::OperatorError("'" + typed[k] + "' is not a valid floating point value");
    }
    const int mA = plan_.pointsMa[point_];
    const PointResult result = Evaluate(mA, measured, plan_.tolerancePercentOfSpan);
    if (pass_ == Pass::AsFound) {
        results_.asFound.push_back(result);
        if (mA == plan_.adjustAtMa) {
            // The polling frame separates its values with commas, so a
            // coefficient written with a decimal comma would split into two
            // values on the line: the check computes and sends it with a
            // point, whatever the readings were typed with.
            typedAtS_ = typed;
            for (std::string& text : typedAtS_)
                std::replace(text.begin(), text.end(), separator_, '.');
        }
    } else {
        results_.asLeft->push_back(result);
    }
    NextPoint();
}

void OutputCheck::NextPoint() {
    if (++point_ < plan_.pointsMa.size()) return AskPoint();
    if (pass_ == Pass::AsFound && plan_.adjust)
        return Send(Stage::ReadBefore, ReadParametersStep(),
                    "Reading the parameters before the adjustment");
    Finish();
}

void OutputCheck::BeginAdjustment(const settings::Fields& reported) {
    Adjustment adjustment;
    for (int output = 1; output <= 3; ++output) {
        const auto found = reported.texts.find(CoefficientControl(output));
        if (found != reported.texts.end())
            adjustment.before[static_cast<std::size_t>(output - 1)] = found->second;
    }
    results_.adjustment = adjustment;
    std::array<std::string, 3> coefficients;
    try {
        // The same texts and the same code as "Calculation Coefficient".
        coefficients = dialogue::CalculateCoefficients(
            std::to_string(plan_.adjustAtMa), typedAtS_[0], typedAtS_[1], typedAtS_[2], '.');
    } catch (const dialogue::OperatorError& error) {
        return Stop(CheckOutcome::AdjustmentFailed,
                    std::string("No coefficients computed: ") + error.what() + ".");
    }
    rows_.clear();
    for (int output = 1; output <= 3; ++output) {
        // The row exactly as the device reported it, only its coefficient new.
        settings::Fields row = reported;
        row.texts[CoefficientControl(output)] = coefficients[static_cast<std::size_t>(output - 1)];
        std::vector<std::string> skipped;
        const std::string group = "polling " + std::to_string(output);
        std::vector<settings::Step> steps = settings::WriteSteps(row, skipped);
        const auto step = std::find_if(steps.begin(), steps.end(),
                                       [&](const settings::Step& s) { return s.group == group; });
        if (step != steps.end()) {
            results_.adjustment->after[static_cast<std::size_t>(output - 1)] =
                coefficients[static_cast<std::size_t>(output - 1)];
            rows_.emplace_back(output, std::move(*step));
            continue;
        }
        for (const std::string& why : skipped) {
            if (why.starts_with(group + " ")) notes_.push_back(why + ".");
        }
    }
    if (rows_.empty()) return Stop(CheckOutcome::AdjustmentFailed, "No polling row could be sent.");
    row_ = 0;
    SendRow();
}

void OutputCheck::SendRow() {
    if (row_ == rows_.size())
        return Send(Stage::ReadAfter, ReadParametersStep(), "Reading back the coefficients");
    Send(Stage::Row, rows_[row_].second, "Adjusting output " + std::to_string(rows_[row_].first));
}

void OutputCheck::VerifyCoefficients(const settings::Fields& reported) {
    bool allAgree = true;
    for (const auto& [output, step] : rows_) {
        const std::string& sent = results_.adjustment->after[static_cast<std::size_t>(output - 1)];
        const std::string name = "Output " + std::to_string(output);
        const auto found = reported.texts.find(CoefficientControl(output));
        if (found == reported.texts.end()) {
            notes_.push_back(name + ": the coefficient " + sent + " was not reported back.");
            allAgree = false;
            continue;
        }
        bool same = false;
        try {
            same = dialogue::TextToFloat(found->second, '.') == dialogue::TextToFloat(sent, '.');
        } catch (const dialogue::OperatorError&) {
        }
        if (!same) {
            notes_.push_back(name + ": the coefficient " + sent + " reads back as " +
                             found->second + ".");
            allAgree = false;
        }
    }
    if (!allAgree) return End(CheckOutcome::AdjustmentFailed);
    results_.adjustment->verified = true;
    results_.asLeft.emplace();
    pass_ = Pass::AsLeft;
    point_ = 0;
    AskPoint();
}

bool OutputCheck::Decode(std::string_view reply, settings::Fields& fields) {
    const dialogue::DecodeOutcome decoded = dialogue::DecodeParameters(reply);
    settings::Apply(fields, decoded);
    if (!decoded.error) return true;
    Stop(CheckOutcome::NoReply,
         "The reply to Read Parameters could not be read: " + *decoded.error + ".");
    return false;
}

void OutputCheck::Finish() {
    const std::vector<PointResult>& last = results_.asLeft ? *results_.asLeft : results_.asFound;
    const bool allPass = std::all_of(last.begin(), last.end(), [](const PointResult& point) {
        return std::all_of(point.pass.begin(), point.pass.end(), [](bool pass) { return pass; });
    });
    results_.complete = true;
    End(allPass ? CheckOutcome::Passed : CheckOutcome::Failed);
}

void OutputCheck::TimedOut() {
    if (FrameInFlight()) Stop(CheckOutcome::NoReply, "No reply to " + inFlight_ + ".");
}

void OutputCheck::Cancel() {
    if (stage_ == Stage::Ended) return;
    cancelRequested_ = true;
    // Waiting for the technician, nothing is in flight.
    if (!FrameInFlight()) End(CheckOutcome::Cancelled);
}

void OutputCheck::HungUp() {
    if (stage_ == Stage::Ended) return;
    End(CheckOutcome::HungUp);
}

void OutputCheck::Stop(CheckOutcome outcome, std::string note) {
    notes_.push_back(std::move(note));
    End(outcome);
}

void OutputCheck::End(CheckOutcome outcome) {
    stage_ = Stage::Ended;
    host_.StopReplyTimeout();
    outcome_ = outcome;
    // No frame ends test mode: the technician must know the outputs are held.
    if (lastTestCurrent_)
        notes_.push_back("The outputs stay at " + std::to_string(*lastTestCurrent_) +
                         " mA until the transmitter is restarted.");
}

}  // namespace calibration
