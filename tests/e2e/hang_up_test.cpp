// The transmitter's line going away under an open port: the console stays
// usable, no message box is left open, and "Close" then "Open" on a fresh
// simulator brings the conversation back.
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "console_on_sim.h"
#include "core/device_state.h"
#include "core/reply_builder.h"

namespace e2e {
namespace {

using vk630sim::DeviceState;

struct Press {
    const char* button;
    std::optional<std::string> reply;  // as the device sends it; nothing: none comes
};

struct HangUpRow {
    const char* name;
    std::vector<std::string> flags;
    std::vector<Edit> edits;
    std::vector<Press> presses;  // the last one is answered, or not, just before the hang-up
};

void PrintTo(const HangUpRow& row, std::ostream* out) {
    *out << row.name;
}

DeviceState WithAddress(const char* address) {
    DeviceState device = vk630sim::FieldDeviceState();
    device.address = address;
    return device;
}

const HangUpRow kHangUpRows[] = {
    {"AfterThreeAnsweredFrames",
     {"--hangup-after", "3"},
     {{"ADRM", "42"}},
     {{"Button10", "OK"},
      {"Button9", vk630sim::ParameterReply(WithAddress("042"))},
      {"Button4", vk630sim::StatusReply(vk630sim::FieldDeviceState())}}},
    {"WithoutAnswering", {"--silent", "--hangup-after", "1"}, {}, {{"Button9", std::nullopt}}},
};

class HangUp : public ConsoleOnSim, public ::testing::WithParamInterface<HangUpRow> {
protected:
    std::vector<std::string> SimulatorFlags() const override { return GetParam().flags; }

    bool EventLoopRuns() {
        auto ran = std::make_shared<bool>(false);
        QTimer::singleShot(10, form_.get(), [ran] { *ran = true; });
        return QTest::qWaitFor([ran] { return *ran; }, static_cast<int>(kReplyDeadline.count()));
    }
};

TEST_P(HangUp, ConsoleStaysUsableAndReopensOnAFreshDevice) {
    const HangUpRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Apply(row.edits));
    for (const Press& press : row.presses) {
        if (press.reply) {
            EXPECT_EQ(Exchange(press.button), Shown(*press.reply)) << press.button;
        } else {
            QTest::mouseClick(Button(press.button), Qt::LeftButton);
        }
    }

    ASSERT_TRUE(QTest::qWaitFor([this] { return sim().WaitExit(0ms).has_value(); },
                                static_cast<int>(kReplyDeadline.count())))
        << "the simulator did not hang up";
    EXPECT_EQ(sim().WaitExit(0ms), 0);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return HangUps() > 0; }, static_cast<int>(kReplyDeadline.count())))
        << "the console never noticed the hang-up";

    // Usable: the event loop runs, and commands still compose, show and
    // hand over their frames (to a line that no longer takes them).
    EXPECT_TRUE(EventLoopRuns());
    QTest::mouseClick(ui().Button4, Qt::LeftButton);
    EXPECT_EQ(ui().discomm->text(), "PPPPPP#STATUS#");
    EXPECT_TRUE(ReceiveBox().isEmpty());
    QTest::mouseClick(ui().Button2, Qt::LeftButton);
    EXPECT_EQ(ui().discomm->text(), "999999#VAR#");
    EXPECT_TRUE(EventLoopRuns());
    EXPECT_EQ(ui().Button1->text(), "Close");

    PressOpenClose();
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_FALSE(form().portOpen());
    EXPECT_FALSE(form().comm().IsOpen());

    ASSERT_NO_FATAL_FAILURE(StartSimulator({}));
    ASSERT_NO_FATAL_FAILURE(OpenOnSimulator());
    ReadParameters();
    ExpectWindowShows(vk630sim::FieldDeviceState());
    EXPECT_EQ(Exchange(ui().Button4), Shown(vk630sim::StatusReply(vk630sim::FieldDeviceState())));
}

INSTANTIATE_TEST_SUITE_P(Device, HangUp, ::testing::ValuesIn(kHangUpRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
