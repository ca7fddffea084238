// The commands whose replies are only shown: the identity query, "Read Data"
// with the three output currents, and the test mode that holds them all at
// the test current.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "console_on_sim.h"

namespace e2e {
namespace {

struct Step {
    const char* button;
    const char* frame;  // as the send line shows it
    const char* reply;  // as the receive box shows it
};

struct DisplayRow {
    const char* name;
    std::vector<Edit> edits;
    std::vector<Step> steps;
};

void PrintTo(const DisplayRow& row, std::ostream* out) {
    *out << row.name;
}

// The simulator starts with output 1 ranging 0 to 250: 25 is a tenth of it.
constexpr Step kReadData = {"Button4", "PPPPPP#STATUS#",
                            "STATUS:OUT1=5.600mA,OUT2=12.000mA,OUT3=16.000mA"};

const DisplayRow kDisplayRows[] = {
    {"CommunicationQuery", {}, {{"Button2", "999999#VAR#", "VK630-E V1.0 SIM"}}},
    // 25 on a range of 0 to 50 is half the span: 12 mA.
    {"OutputRangeMovesItsCurrent",
     {{"DAO1H", "0"}, {"DAO1L", "50"}},
     {{"Button6", "TEKVAR#DOTA1:0,50#", "OK"},
      {"Button4", "PPPPPP#STATUS#", "STATUS:OUT1=12.000mA,OUT2=12.000mA,OUT3=16.000mA"}}},
    {"TestModeHoldsEveryOutputAtTheTestCurrent",
     {},
     {{"Button11", "TEKVAR#IOA:20#", "OK"},
      {"Button4", "PPPPPP#STATUS#", "STATUS:TEST,OUT1=20.000mA,OUT2=20.000mA,OUT3=20.000mA"}}},
    {"SmallTestCurrentGetsALeadingZero",
     {{"Edit1", "9"}},
     {{"Button11", "TEKVAR#IOA:09#", "OK"},
      {"Button4", "PPPPPP#STATUS#", "STATUS:TEST,OUT1=9.000mA,OUT2=9.000mA,OUT3=9.000mA"}}},
    {"TestCurrentAboveTheOutputStageIsRefused",
     {{"Edit1", "25"}},
     {{"Button11", "TEKVAR#IOA:25#", "ERR:IOA range"}, kReadData}},
};

class DisplayOnly : public ConsoleOnSim, public ::testing::WithParamInterface<DisplayRow> {};

TEST_P(DisplayOnly, ReplyIsShownAndNothingElseChanges) {
    const DisplayRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Apply(row.edits));
    const std::string interval = TextOf("JTME").toStdString();
    for (const Step& step : row.steps) {
        SCOPED_TRACE(step.frame);
        EXPECT_EQ(Exchange(step.button), step.reply);
        EXPECT_EQ(ui().discomm->text(), step.frame);
    }
    // Display-only replies start no decode.
    EXPECT_EQ(form().exchange().ReplyKind, 100);
    EXPECT_TRUE(form().exchange().ReplyText.empty());
    EXPECT_EQ(TextOf("JTME").toStdString(), interval);
    EXPECT_TRUE(boxes_.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Device, DisplayOnly, ::testing::ValuesIn(kDisplayRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
