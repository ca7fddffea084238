#include "calibration/output_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "dialogue/number_text.h"

namespace calibration {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// A transmitter on the bench: it keeps each polling row's coefficient in
// its six-character field, and its outputs carry gain errors of +2 %, 0 and
// -1 % that the kept coefficient corrects.
struct Bench {
    char separator = '.';
    std::string row3Format = "08";
    int refuseRow = 0;    // answers this row with "ERR"
    int misstoreRow = 0;  // keeps another coefficient for this row
    std::array<std::string, 3> kept{"000001", "000001", "000001"};

    std::string Answer(const std::string& frame) {
        if (frame == "999999#VAR#") return "VK630-E V2.1\r\n";
        if (frame == "PPPPPP#CHEACK1#")
            return "BOAT:3,0 ADR:017 JTM:020 ZDAD01:1,001,2,00," + kept[0] +
                   ",00000 ZDAD02:1,002,2,03," + kept[1] + ",00000 ZDAD03:1,003,2," + row3Format +
                   "," + kept[2] + ",00000\r\n";
        if (!frame.starts_with("TEKVAR#ZDAD0")) return "OK\r\n";
        const int row = frame[12] - '0';
        if (row == refuseRow) return "ERR\r\n";
        std::size_t from = frame.find(':');  // the coefficient: after the row's fourth comma
        for (int comma = 0; comma < 4; ++comma) from = frame.find(',', from) + 1;
        kept[row - 1] = row == misstoreRow ? "0.9900" : frame.substr(from, 6);
        return "OK\r\n";
    }
    std::array<std::string, 3> Meter(int mA) const {
        const double gain[3] = {1.02, 1.0, 0.99};
        std::array<std::string, 3> texts;
        for (std::size_t k = 0; k < 3; ++k) {
            char text[32];
            std::snprintf(text, sizeof text, "%.4f",
                          mA * gain[k] * static_cast<double>(dialogue::TextToFloat(kept[k], '.')));
            texts[k] = text;
            texts[k][texts[k].find('.')] = separator;
        }
        return texts;
    }
};

class ScriptedHost : public OutputCheckHost {
public:
    void Send(const settings::Step& step) override { frames.push_back(inFlight = step.frame); }
    void StartReplyTimeout() override { timing = true; }
    void StopReplyTimeout() override { timing = false; }
    void Progress(const std::string&) override {}
    void AskReadings(int mA, Pass) override { askedMa = mA; }

    std::vector<std::string> frames;
    std::string inFlight;
    std::optional<int> askedMa;
    bool timing = false;
};

enum class Event { None, HangUp, Cancel, TimeOut };

struct Scenario {
    const char* name;
    std::function<void(Plan&, Bench&)> setUp;
    Event event;
    std::size_t atFrame;  // fired once this many frames are sent, before the reply or readings
    bool whileAsked;      // ... once the readings are asked for
    CheckOutcome outcome;
    std::vector<std::string> frames;
    const char* note;  // one note holds this
};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
const std::vector<std::string> kStart{"999999#VAR#", "PPPPPP#CHEACK1#"};
const std::vector<std::string> kPoints{"TEKVAR#IOA:04#", "TEKVAR#IOA:12#", "TEKVAR#IOA:20#"};
const std::vector<std::string> kRead{"PPPPPP#CHEACK1#"};
const std::vector<std::string> kRows{"TEKVAR#ZDAD01:1,001,2,00,0.9800,00000#",
                                     "TEKVAR#ZDAD02:1,002,2,03,1.0000,00000#",
                                     "TEKVAR#ZDAD03:1,003,2,08,1.0100,00000#"};

class OutputCheckSequence : public testing::TestWithParam<Scenario> {};

TEST_P(OutputCheckSequence, SendsTheFramesInOrderAndStopsWhereItMust) {
    const Scenario& scenario = GetParam();
    Plan plan;
    Bench bench;
    if (scenario.setUp) scenario.setUp(plan, bench);
    ScriptedHost host;
    OutputCheck check(host, plan, bench.separator);
    check.Start();
    while (check.outcome() == CheckOutcome::Running) {
        if (host.frames.size() == scenario.atFrame &&
            host.askedMa.has_value() == scenario.whileAsked) {
            if (scenario.event == Event::HangUp) check.HungUp();
            if (scenario.event == Event::Cancel) check.Cancel();
            // A frame in flight is waited for; a wait for readings is not.
            if (scenario.event == Event::Cancel) {
                EXPECT_EQ(check.outcome() == CheckOutcome::Running, !scenario.whileAsked);
            }
            if (scenario.event == Event::TimeOut) check.TimedOut();
            if (check.outcome() != CheckOutcome::Running) break;
        }
        if (host.askedMa) {
            // A reading that is no number is refused and the point still awaited.
            EXPECT_THROW(check.Readings({"4.0", "4,1", "4"}), dialogue::OperatorError);
            check.Readings(bench.Meter(*std::exchange(host.askedMa, std::nullopt)));
        } else {
            ASSERT_FALSE(host.inFlight.empty()) << "nothing in flight and nothing asked";
            check.ReplyDone(bench.Answer(std::exchange(host.inFlight, "")));
        }
    }
    EXPECT_EQ(check.outcome(), scenario.outcome);
    EXPECT_THAT(host.frames, ElementsAreArray(scenario.frames));
    EXPECT_FALSE(host.timing);
    // The address is the unit's only once its parameters could be read.
    const std::string address = scenario.frames.size() > kStart.size() ? "017" : "";
    EXPECT_EQ(check.unit(), (Unit{"", "VK630-E V2.1", address, ""}));
    if (scenario.note) {
        EXPECT_THAT(check.notes(), testing::Contains(HasSubstr(scenario.note)));
    }
    const OutputsSection& results = check.results();
    if (!results.asFound.empty()) {
        EXPECT_EQ(results.asFound[0].mA, plan.pointsMa[0]);
    }
    EXPECT_EQ(results.complete,
              scenario.outcome == CheckOutcome::Passed || scenario.outcome == CheckOutcome::Failed);
    // As left only after every coefficient sent was read back.
    EXPECT_EQ(results.asLeft.has_value(), results.adjustment && results.adjustment->verified);
}

INSTANTIATE_TEST_SUITE_P(
    Bench, OutputCheckSequence,
    testing::Values(
        Scenario{"AdjustsAndChecksAsLeft", nullptr, Event::None, 0, false, CheckOutcome::Passed,
                 Join({kStart, kPoints, kRead, kRows, kRead, kPoints}),
                 "The outputs stay at 20 mA until the transmitter is restarted."},
        Scenario{"ReadsWithACommaWhereTheRegionSaysSoAndSendsAPoint",
                 [](Plan&, Bench& bench) { bench.separator = ','; }, Event::None, 0, false,
                 CheckOutcome::Passed, Join({kStart, kPoints, kRead, kRows, kRead, kPoints}),
                 nullptr},
        Scenario{"ChecksOnlyAndFailsOnTheFirstPass",
                 [](Plan& plan, Bench&) { plan.adjust = false; }, Event::None, 0, false,
                 CheckOutcome::Failed, Join({kStart, kPoints}), nullptr},
        Scenario{"StopsAtARefusedCoefficient", [](Plan&, Bench& bench) { bench.refuseRow = 2; },
                 Event::None, 0, false, CheckOutcome::AdjustmentFailed,
                 Join({kStart, kPoints, kRead, {kRows[0], kRows[1]}}),
                 "Output 2: the device refused the coefficient 1.0000 (ERR)."},
        Scenario{"StopsAtAParameterReplyItCannotRead",
                 [](Plan&, Bench& bench) { bench.row3Format = "x8"; }, Event::None, 0, false,
                 CheckOutcome::NoReply, kStart, "The reply to Read Parameters could not be read"},
        Scenario{"StopsAtACoefficientThatReadsBackOtherwise",
                 [](Plan&, Bench& bench) { bench.misstoreRow = 1; }, Event::None, 0, false,
                 CheckOutcome::AdjustmentFailed, Join({kStart, kPoints, kRead, kRows, kRead}),
                 "Output 1: the coefficient 0.9800 reads back as 0.9900."},
        Scenario{"LeavesOutARowTheDeviceReportsWithoutAChoice",
                 [](Plan&, Bench& bench) { bench.row3Format = "-1"; }, Event::None, 0, false,
                 CheckOutcome::Failed,
                 Join({kStart, kPoints, kRead, {kRows[0], kRows[1]}, kRead, kPoints}),
                 "polling 3 not sent: polling[2].format has no item chosen."},
        Scenario{"StopsWithTheCalculationsMessageForAZeroAdjustmentPoint",
                 [](Plan& plan, Bench&) {
                     plan = {{0, 12}, 0};
                 },
                 Event::None, 0, false, CheckOutcome::AdjustmentFailed,
                 Join({kStart, {"TEKVAR#IOA:00#", "TEKVAR#IOA:12#"}, kRead}),
                 "No coefficients computed: Invalid floating point operation."},
        Scenario{"KeepsWhatWasMeasuredAtAHangUp", nullptr, Event::HangUp, 4, false,
                 CheckOutcome::HungUp, Join({kStart, {kPoints[0], kPoints[1]}}),
                 "The outputs stay at 12 mA until the transmitter is restarted."},
        Scenario{"CancelWaitsForTheFrameInFlight", nullptr, Event::Cancel, 5, false,
                 CheckOutcome::Cancelled, Join({kStart, kPoints}), nullptr},
        Scenario{"CancelStopsAtOnceWhileTheReadingsAreAwaited", nullptr, Event::Cancel, 3, true,
                 CheckOutcome::Cancelled, Join({kStart, {kPoints[0]}}), nullptr},
        Scenario{"NamesTheFrameThatGotNoReply", nullptr, Event::TimeOut, 3, false,
                 CheckOutcome::NoReply, Join({kStart, {kPoints[0]}}),
                 "No reply to test mode 4 mA."}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST(OutputCheck, RefusesPlansItCannotRun) {
    EXPECT_EQ(ParsePoints(" 4, 8 ,12,16,20"), (std::vector<int>{4, 8, 12, 16, 20}));
    for (const char* bad : {"", "4,,20", "4,25", "4,12,4", "4.5", "-1"})
        EXPECT_THROW(ParsePoints(bad), std::invalid_argument) << bad;
    EXPECT_EQ(CheckPlan(Plan{{4, 12, 20}, 16, 0.25, true}),
              "The adjustment point 16 mA is not one of the test points 4, 12, 20");
    EXPECT_EQ(CheckPlan(Plan{{4, 12}, 16, 0.25, false}), std::nullopt);
    EXPECT_NE(CheckPlan(Plan{{4, 30}, 4, 0.25, true}), std::nullopt);
    EXPECT_NE(CheckPlan(Plan{{4}, 4, -0.1, true}), std::nullopt);
}

}  // namespace
}  // namespace calibration
