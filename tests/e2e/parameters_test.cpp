// "Read Parameters" and every "Set" of the device settings, against the
// simulated transmitter: what a Set stores is only known from what the next
// "Read Parameters" brings back into the window.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "console_on_sim.h"
#include "core/device_state.h"
#include "core/reply_builder.h"

namespace e2e {
namespace {

using vk630sim::DeviceState;

TEST_F(ConsoleOnSim, ReadParametersFillsTheWindowFromTheDevice) {
    // The window's own start-up texts differ from the device's widened ones,
    // and its command-number boxes have no item yet: all of that must change.
    ASSERT_EQ(TextOf("JTME"), "10");
    ASSERT_EQ(TextOf("ADRM"), "001");
    ASSERT_EQ(TextOf("MAD1MADR"), "01");
    ASSERT_EQ(IndexOf("MAD2USE"), -1);

    ReadParameters();
    EXPECT_EQ(ReceiveBox(), Shown(vk630sim::ParameterReply(vk630sim::FieldDeviceState())));
    ExpectWindowShows(vk630sim::FieldDeviceState());
    EXPECT_TRUE(boxes_.boxes().empty());
}

struct SetRow {
    const char* name;
    std::vector<Edit> edits;
    const char* button;
    const char* frame;  // as the send line shows it
    const char* reply;  // as the receive box shows it
    std::function<void(DeviceState&)> stored;
};

void PrintTo(const SetRow& row, std::ostream* out) {
    *out << row.name;
}

// Each row starts from a fresh window and a fresh device. A choice box whose
// index a frame carries is chosen first: the window starts without an item
// there, and the device refuses the -1 it would send.
const SetRow kSetRows[] = {
    {"LineSettings",
     {{"MR485BT", "2400"}, {"MR485JN", "Even"}},
     "Button17",
     "TEKVAR#RS485A:1,2#",
     "OK",
     [](DeviceState& d) {
         d.baudIndex = 1;
         d.parityIndex = 2;
     }},
    {"Interval",
     {{"JTME", "25"}},
     "Button5",
     "TEKVAR#JTM:25#",
     "OK",
     [](DeviceState& d) { d.interval = "025"; }},
    // Typed "0" keeps the full layout; the device's "000" selects the reduced one.
    {"IntervalZeroReadsBackAsReducedLayout",
     {{"JTME", "0"}},
     "Button5",
     "TEKVAR#JTM:0#",
     "OK",
     [](DeviceState& d) { d.interval = "000"; }},
    {"Address",
     {{"ADRM", "42"}},
     "Button10",
     "TEKVAR#ADR:42#",
     "OK",
     [](DeviceState& d) { d.address = "042"; }},
    {"PollingRow1",
     {{"MAD1USE", "2_CMD2"},
      {"MAD1MADR", "5"},
      {"MAD1DADR", "4"},
      {"MAD1XIN", "9 signed (inverted)"},
      {"MAD1XS", "1.5"},
      {"DataQY1", "-2"}},
     "Button170",
     "TEKVAR#ZDAD01:2,5,4,09,1.5,-2#",
     "OK",
     [](DeviceState& d) { d.polling[0] = {2, "005", "4", 9, "0001.5", "-0002"}; }},
    {"PollingRow2",
     {{"MAD2USE", "4_CMD4"},
      {"MAD2MADR", "123"},
      {"MAD2DADR", "8"},
      {"MAD2XIN", "22 String-to-float"},
      {"MAD2XS", "0.9800"},
      {"DataQY2", "12.5"}},
     "Button171",
     "TEKVAR#ZDAD02:4,123,8,22,0.9800,12.5#",
     "OK",
     [](DeviceState& d) { d.polling[1] = {4, "123", "8", 22, "0.9800", "012.5"}; }},
    {"PollingRow3",
     {{"MAD3USE", "1_CMD1"},
      {"MAD3MADR", "7"},
      {"MAD3DADR", "2"},
      {"MAD3XIN", "10 signed (non-inverted)"},
      {"MAD3XS", "-1"},
      {"DataQY3", "100"}},
     "Button172",
     "TEKVAR#ZDAD03:1,7,2,10,-1,100#",
     "OK",
     [](DeviceState& d) { d.polling[2] = {1, "007", "2", 10, "-00001", "00100"}; }},
    {"OutputRange1",
     {{"DAO1H", "4"}, {"DAO1L", "20.5"}},
     "Button6",
     "TEKVAR#DOTA1:4,20.5#",
     "OK",
     [](DeviceState& d) {
         d.outputs[0] = {"00004", "020.5"};
     }},
    {"OutputRange2",
     {{"DAO2H", "-10"}, {"DAO2L", "250"}},
     "Button7",
     "TEKVAR#DOTA2:-10,250#",
     "OK",
     [](DeviceState& d) {
         d.outputs[1] = {"-0010", "00250"};
     }},
    {"OutputRange3",
     {{"DAO3H", "0.5"}, {"DAO3L", "99999"}},
     "Button8",
     "TEKVAR#DOTA3:0.5,99999#",
     "OK",
     [](DeviceState& d) {
         d.outputs[2] = {"000.5", "99999"};
     }},

};

class SetThenRead : public ConsoleOnSim, public ::testing::WithParamInterface<SetRow> {};

TEST_P(SetThenRead, SecondReadShowsWhatTheDeviceStored) {
    const SetRow& row = GetParam();
    ASSERT_NO_FATAL_FAILURE(Apply(row.edits));

    EXPECT_EQ(Exchange(row.button), row.reply);
    EXPECT_EQ(ui().discomm->text(), row.frame);

    ReadParameters();
    DeviceState expected = vk630sim::FieldDeviceState();
    row.stored(expected);
    // Every control, so that a Set which changed a neighbour shows too.
    ExpectWindowShows(expected);
    EXPECT_TRUE(boxes_.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Device, SetThenRead, ::testing::ValuesIn(kSetRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedWrite {
    const char* name;
    std::vector<Edit> edits;
    const char* button;
    const char* frame;
    const char* reply;
};

// Values the device cannot hold in its fixed widths, sent one after the
// other into one device: each reply says why, and nothing is stored.
const RefusedWrite kRefusedWrites[] = {
    {"PollingRowWithNoCommandChosen",
     {},
     "Button170",
     "TEKVAR#ZDAD01:-1,01,0,00,000001,00000#",
     "ERR:ZDAD01 command value"},
    {"IntervalWithABlank", {{"JTME", "1 2"}}, "Button5", "TEKVAR#JTM:1 2#", "ERR:JTM value"},
    {"CoefficientTooWide",
     {{"MAD2USE", "0_Close"}, {"MAD2XS", "1.00000"}},
     "Button171",
     "TEKVAR#ZDAD02:0,01,0,00,1.00000,00000#",
     "ERR:ZDAD02 coefficient width"},
    {"RangeValueWithTwoPoints",
     {{"DAO3H", "1.2.3"}},
     "Button8",
     "TEKVAR#DOTA3:1.2.3,100.0#",
     "ERR:DOTA3 4mA value"},
    {"AddressTooLong", {{"ADRM", "1234"}}, "Button10", "TEKVAR#ADR:1234#", "ERR:ADR width"},
};

TEST_F(ConsoleOnSim, RefusedWritesStoreNothing) {
    for (const RefusedWrite& write : kRefusedWrites) {
        SCOPED_TRACE(write.name);
        ASSERT_NO_FATAL_FAILURE(Apply(write.edits));
        EXPECT_EQ(Exchange(write.button), write.reply);
        EXPECT_EQ(ui().discomm->text(), write.frame);
    }
    ReadParameters();
    ExpectWindowShows(vk630sim::FieldDeviceState());
    EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
}  // namespace e2e
