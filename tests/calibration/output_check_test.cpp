#include "calibration/output_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

#include "dialogue/number_text.h"

namespace calibration {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// A transmitter on the bench: it stores each polling row's coefficient as
// its six-character field, and its outputs carry a gain error that the
// stored coefficient corrects.
struct Bench {
    char separator = '.';
    std::array<double, 3> gain{0.02, 0.0, -0.01};
    std::string row3Format = "08";
    int refuseRow = 0;    // answers this row with "ERR"
    int misstoreRow = 0;  // stores another coefficient for this row
    std::array<std::string, 3> stored{"000001", "000001", "000001"};

    std::string Parameters() const {
        return "BOAT:3,0 ADR:017 JTM:020 ZDAD01:1,001,2,00," + stored[0] +
               ",00000 ZDAD02:1,002,2,03," + stored[1] + ",00000 ZDAD03:1,003,2," + row3Format +
               "," + stored[2] + ",00000\r\n";
    }
    std::string Answer(const std::string& frame) {
        if (frame == "999999#VAR#") return "VK630-E V2.1\r\n";
        if (frame == "PPPPPP#CHEACK1#") return Parameters();
        if (frame.starts_with("TEKVAR#ZDAD0")) {
            const int row = frame[12] - '0';
            if (row == refuseRow) return "ERR\r\n";
            // Between the fourth comma of the row and its last one.
            std::size_t from = frame.find(':');
            for (int comma = 0; comma < 4; ++comma) from = frame.find(',', from) + 1;
            const std::string coefficient = frame.substr(from, frame.rfind(',') - from);
            stored[row - 1] = row == misstoreRow ? "0.9900" : coefficient.substr(0, 6);
            return "OK\r\n";
        }
        return "OK\r\n";
    }
    std::array<std::string, 3> Meter(int mA) const {
        std::array<std::string, 3> texts;
        for (std::size_t k = 0; k < 3; ++k) {
            double factor = 1.0;
            if (stored[k] != "000001")
                factor = static_cast<double>(dialogue::TextToFloat(stored[k], separator));
            char text[32];
            std::snprintf(text, sizeof text, "%.4f", mA * (1 + gain[k]) * factor);
            texts[k] = text;
            texts[k][texts[k].find('.')] = separator;
        }
        return texts;
    }
};

class ScriptedHost : public OutputCheckHost {
public:
    void Send(const settings::Step& step) override {
        frames.push_back(step.frame);
        inFlight = step.frame;
    }
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
    std::size_t eventAtFrame;  // fired right after this frame is sent (1-based)
    CheckOutcome outcome;
    std::vector<std::string> frames;
    const char* note;  // one note holds this
};

const std::vector<std::string> kIdentify{"999999#VAR#", "PPPPPP#CHEACK1#"};
const std::vector<std::string> kPoints{"TEKVAR#IOA:04#", "TEKVAR#IOA:12#", "TEKVAR#IOA:20#"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> kRows{"TEKVAR#ZDAD01:1,001,2,00,0.9800,00000#",
                                     "TEKVAR#ZDAD02:1,002,2,03,1.0000,00000#",
                                     "TEKVAR#ZDAD03:1,003,2,08,1.0100,00000#"};
const std::vector<std::string> kRead{"PPPPPP#CHEACK1#"};

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
        if (scenario.event != Event::None && host.frames.size() == scenario.eventAtFrame) {
            if (scenario.event == Event::HangUp) check.HungUp();
            if (scenario.event == Event::Cancel) check.Cancel();
            if (scenario.event == Event::TimeOut) check.TimedOut();
            if (check.outcome() != CheckOutcome::Running) break;
        }
        if (host.askedMa) {
            const int mA = *host.askedMa;
            host.askedMa.reset();
            check.Readings(bench.Meter(mA));
        } else {
            const std::string frame = host.inFlight;
            host.inFlight.clear();
            ASSERT_FALSE(frame.empty()) << "nothing in flight and nothing asked";
            check.ReplyDone(bench.Answer(frame));
        }
    }
    EXPECT_EQ(check.outcome(), scenario.outcome);
    EXPECT_THAT(host.frames, ElementsAreArray(scenario.frames));
    EXPECT_FALSE(host.timing);
    EXPECT_EQ(check.unit().identity, "VK630-E V2.1");
    if (scenario.note) {
        EXPECT_THAT(check.notes(), testing::Contains(HasSubstr(scenario.note)));
    }
    const bool ended =
        scenario.outcome == CheckOutcome::Passed || scenario.outcome == CheckOutcome::Failed;
    EXPECT_EQ(check.results().complete, ended);
}

INSTANTIATE_TEST_SUITE_P(
    Bench, OutputCheckSequence,
    testing::Values(
        Scenario{"AdjustsAndChecksAsLeft", nullptr, Event::None, 0, CheckOutcome::Passed,
                 Join({kIdentify, kPoints, kRead, kRows, kRead, kPoints}),
                 "The outputs stay at 20 mA until the transmitter is restarted."},
        Scenario{"ReadsAndWritesWithACommaWhereTheRegionSaysSo",
                 [](Plan&, Bench& bench) { bench.separator = ','; }, Event::None, 0,
                 CheckOutcome::Passed,
                 Join({kIdentify,
                       kPoints,
                       kRead,
                       {"TEKVAR#ZDAD01:1,001,2,00,0,9800,00000#",
                        "TEKVAR#ZDAD02:1,002,2,03,1,0000,00000#",
                        "TEKVAR#ZDAD03:1,003,2,08,1,0100,00000#"},
                       kRead,
                       kPoints}),
                 nullptr},
        Scenario{"ChecksOnlyAndFailsOnTheFirstPass",
                 [](Plan& plan, Bench&) { plan.adjust = false; }, Event::None, 0,
                 CheckOutcome::Failed, Join({kIdentify, kPoints}), nullptr},
        Scenario{"StopsAtARefusedCoefficient", [](Plan&, Bench& bench) { bench.refuseRow = 2; },
                 Event::None, 0, CheckOutcome::AdjustmentFailed,
                 Join({kIdentify, kPoints, kRead, {kRows[0], kRows[1]}}),
                 "Output 2: the device refused the coefficient 1.0000 (ERR)."},
        Scenario{"StopsAtACoefficientThatReadsBackOtherwise",
                 [](Plan&, Bench& bench) { bench.misstoreRow = 1; }, Event::None, 0,
                 CheckOutcome::AdjustmentFailed, Join({kIdentify, kPoints, kRead, kRows, kRead}),
                 "Output 1: the coefficient 0.9800 reads back as 0.9900."},
        Scenario{"LeavesOutARowTheDeviceReportsWithoutAChoice",
                 [](Plan&, Bench& bench) { bench.row3Format = "-1"; }, Event::None, 0,
                 CheckOutcome::Failed,
                 Join({kIdentify, kPoints, kRead, {kRows[0], kRows[1]}, kRead, kPoints}),
                 "polling 3 not sent: polling[2].format has no item chosen."},
        Scenario{"StopsWithTheCalculationsMessageForAZeroAdjustmentPoint",
                 [](Plan& plan, Bench&) {
                     plan.pointsMa = {0, 12};
                     plan.adjustAtMa = 0;
                 },
                 Event::None, 0, CheckOutcome::AdjustmentFailed,
                 Join({kIdentify, {"TEKVAR#IOA:00#", "TEKVAR#IOA:12#"}, kRead}),
                 "No coefficients computed: Invalid floating point operation."},
        Scenario{"KeepsWhatWasMeasuredAtAHangUp", nullptr, Event::HangUp, 4, CheckOutcome::HungUp,
                 Join({kIdentify, {kPoints[0], kPoints[1]}}),
                 "The outputs stay at 12 mA until the transmitter is restarted."},
        Scenario{"CancelStopsAfterTheFrameInFlight", nullptr, Event::Cancel, 5,
                 CheckOutcome::Cancelled, Join({kIdentify, kPoints}), nullptr},
        Scenario{"NamesTheFrameThatGotNoReply", nullptr, Event::TimeOut, 2, CheckOutcome::NoReply,
                 kIdentify, "No reply to read parameters."}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST(OutputCheck, KeepsWaitingAfterAReadingThatIsNoNumber) {
    ScriptedHost host;
    OutputCheck check(host, Plan{{4}, 4, 0.25, false}, '.');
    check.Start();
    check.ReplyDone("VK630-E\r\n");
    check.ReplyDone("ADR:017");
    check.ReplyDone("OK");
    EXPECT_THROW(check.Readings({"4.0", "4,1", "4"}), dialogue::OperatorError);
    check.Readings({"4.0", "4.01", "3.96"});
    EXPECT_EQ(check.outcome(), CheckOutcome::Passed);
    EXPECT_EQ(check.unit().address, "017");
    ASSERT_EQ(check.results().asFound.size(), 1u);
    EXPECT_EQ(check.results().asFound[0].pass, (std::array<bool, 3>{true, true, true}));
}

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
