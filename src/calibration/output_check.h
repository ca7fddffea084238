// The guided check of the three current outputs: who the unit is, the test
// points as found, the adjustment of the coefficients, the same points as
// left. Plain logic, as the settings run is: the owner (the window or the
// command-line program) sends the frames through its exchange cycle, runs
// the reply timeout, takes the readings from the technician and hands them
// in; this class decides what comes next and keeps the results.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calibration/record.h"
#include "settings/commissioning.h"

namespace calibration {

struct Plan {
    std::vector<int> pointsMa{4, 12, 20};
    int adjustAtMa = 20;  // S: one of the points
    double tolerancePercentOfSpan = kDefaultTolerancePercentOfSpan;
    bool adjust = true;  // false: check only
};
// Why a plan cannot be run ("the adjustment point 16 mA is not one of the
// test points 4, 12, 20"), or nothing.
std::optional<std::string> CheckPlan(const Plan& plan);
// "4,12,20" (spaces allowed); whole milliamperes 0 to 24, each once.
// Throws std::invalid_argument with the technician's message.
std::vector<int> ParsePoints(std::string_view text);

enum class Pass { AsFound, AsLeft };

class OutputCheckHost {
public:
    virtual ~OutputCheckHost() = default;
    // Through the exchange cycle's send steps, exactly as a button does.
    virtual void Send(const settings::Step& step) = 0;
    virtual void StartReplyTimeout() = 0;
    virtual void StopReplyTimeout() = 0;
    // "Identifying the unit", "As found: 12 mA (2 of 3)", "Adjusting output 2"...
    virtual void Progress(const std::string& text) = 0;
    // The outputs now stand at `mA`: take the three readings from the
    // technician, then hand them in with Readings().
    virtual void AskReadings(int mA, Pass pass) = 0;
};

enum class CheckOutcome {
    Running,
    Passed,            // every reading of the last pass within the tolerance
    Failed,            // a reading of the last pass out of tolerance
    AdjustmentFailed,  // a coefficient refused, not read back, or not computable
    Cancelled,
    NoReply,
    HungUp,
};

class OutputCheck {
public:
    // `decimalSeparator` is the one the readings are typed with, as the
    // output test's fields are read; the coefficients go into the polling
    // frames with a point, since that frame separates its values by commas.
    OutputCheck(OutputCheckHost& host, Plan plan, char decimalSeparator);

    void Start();
    // The reply to the frame in flight has been received and, where a
    // decoder follows (settings::DecodeFollows), decoded; `reply` is the
    // text received for it. A call with nothing in flight is ignored.
    void ReplyDone(std::string_view reply);
    // The three readings for the point asked for, as typed. Throws
    // dialogue::OperatorError (the conversion message) for a text that is
    // no number, and then still waits for the readings.
    void Readings(const std::array<std::string, 3>& typed);
    void TimedOut();
    void Cancel();  // stops after the frame in flight
    void HungUp();

    CheckOutcome outcome() const { return outcome_; }
    // What the technician is told at the end, one line each: why it stopped
    // (which output), rows not sent, and that the outputs stay at the last
    // test current until the transmitter is restarted.
    const std::vector<std::string>& notes() const { return notes_; }
    // The unit as it reported itself (identity and address; tag and port
    // are the owner's).
    const Unit& unit() const { return unit_; }
    // The record's outputs section as far as the check got.
    const OutputsSection& results() const { return results_; }
    // The last test current sent, if any.
    std::optional<int> lastTestCurrent() const { return lastTestCurrent_; }

private:
    OutputCheckHost& host_;
    Plan plan_;
    char separator_;
    CheckOutcome outcome_ = CheckOutcome::Running;
    std::vector<std::string> notes_;
    Unit unit_;
    OutputsSection results_;
    std::optional<int> lastTestCurrent_;

    // What the frame in flight (or the wait for readings) is for.
    enum class Stage {
        NotStarted,
        Identify,
        ReadUnit,
        TestPoint,
        Readings,
        ReadBefore,
        Row,
        ReadAfter,
        Ended
    };
    Stage stage_ = Stage::NotStarted;
    // A frame has been sent and its reply is awaited.
    bool FrameInFlight() const;
    Pass pass_ = Pass::AsFound;
    std::size_t point_ = 0;
    bool cancelRequested_ = false;
    std::string inFlight_;                 // the group of the frame in flight, for the notes
    std::array<std::string, 3> typedAtS_;  // as typed: the coefficients come from the texts
    settings::Fields reported_;            // the device's own values before the adjustment
    std::vector<std::pair<int, settings::Step>> rows_;  // output number, its row frame
    std::size_t row_ = 0;

    void Send(Stage stage, const settings::Step& step, const std::string& progress);
    void AskPoint();
    void NextPoint();
    void BeginAdjustment(const settings::Fields& reported);
    void SendRow();
    void VerifyCoefficients(const settings::Fields& reported);
    void BeginAsLeft();
    bool Decode(std::string_view reply, settings::Fields& fields);
    void Finish();
    void Stop(CheckOutcome outcome, std::string note);
    void End(CheckOutcome outcome);
};

}  // namespace calibration
