// Every write frame of the console, applied and shown back by the parameter
// reply at the offsets the console reads; and every value that does not fit
// its reply width refused without touching the settings.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/device.h"
#include "reply_layout.h"

namespace vk630sim {
namespace {

using testing::DefaultParameterFields;
using testing::ParameterFields;

constexpr const char* kReadParameters = "PPPPPP#CHEACK1#";

// The console's start-up settings, byte for byte.
constexpr const char* kDefaultParameterReply =
    "BOAT:3,0 ADR:001 JTM:010 ZDAD01:0,001,0,00,000001,00000 ZDAD02:0,001,0,00,000001,00000 "
    "ZDAD03:0,001,0,00,000001,00000 DOAT1:0.000,100.0 DOAT2:0.000,100.0 DOAT3:0.000,100.0\r\n";

TEST(DeviceParameters, UntouchedDeviceReportsTheConsoleStartUpSettings) {
    Device device;
    std::string reply = device.Answer(kReadParameters);
    EXPECT_EQ(reply, kDefaultParameterReply);
    EXPECT_EQ(ParameterFields(reply), DefaultParameterFields());
}

TEST(DeviceParameters, WrittenSettingsGiveTheLayoutOfTheConsoleExample) {
    Device device;
    for (const char* frame : {"TEKVAR#ZDAD01:1,001,2,00,000001,00000#",
                              "TEKVAR#ZDAD02:0,2,2,03,1,0#",  // widened by the device
                              "TEKVAR#ZDAD03:0,003,2,08,000001,00000#"}) {
        ASSERT_EQ(device.Answer(frame), "OK\r\n") << frame;
    }
    EXPECT_EQ(device.Answer(kReadParameters),
              "BOAT:3,0 ADR:001 JTM:010 ZDAD01:1,001,2,00,000001,00000 "
              "ZDAD02:0,002,2,03,000001,00000 ZDAD03:0,003,2,08,000001,00000 "
              "DOAT1:0.000,100.0 DOAT2:0.000,100.0 DOAT3:0.000,100.0\r\n");
}

struct AppliedWrite {
    const char* frame;
    std::map<std::string, std::string> changed;  // fields of the parameter reply
};

class AppliedWriteTest : public ::testing::TestWithParam<AppliedWrite> {};

TEST_P(AppliedWriteTest, IsAcknowledgedAndShownBackAtItsOffsets) {
    Device device;
    EXPECT_EQ(device.Answer(GetParam().frame), "OK\r\n");
    auto expected = DefaultParameterFields();
    for (const auto& [name, value] : GetParam().changed) expected[name] = value;
    EXPECT_EQ(ParameterFields(device.Answer(kReadParameters)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWriteFrame, AppliedWriteTest,
    ::testing::Values(
        // The console's own start-up frames change nothing.
        AppliedWrite{"TEKVAR#RS485A:3,0#", {}}, AppliedWrite{"TEKVAR#JTM:10#", {}},
        AppliedWrite{"TEKVAR#ADR:001#", {}},
        AppliedWrite{"TEKVAR#ZDAD01:0,01,0,00,000001,00000#", {}},
        AppliedWrite{"TEKVAR#DOTA2:0.000,100.0#", {}},
        AppliedWrite{"TEKVAR#RS485A:0,2#", {{"BOAT.baud", "0"}, {"BOAT.parity", "2"}}},
        AppliedWrite{"TEKVAR#RS485A:2,1#", {{"BOAT.baud", "2"}, {"BOAT.parity", "1"}}},
        AppliedWrite{"TEKVAR#JTM:000#", {{"JTM.interval", "000"}}},
        AppliedWrite{"TEKVAR#JTM:5#", {{"JTM.interval", "005"}}},
        AppliedWrite{"TEKVAR#JTM:250#", {{"JTM.interval", "250"}}},
        AppliedWrite{"TEKVAR#ADR:12#", {{"ADR.address", "012"}}},
        AppliedWrite{"TEKVAR#ADR:247#", {{"ADR.address", "247"}}},
        AppliedWrite{"TEKVAR#ZDAD02:4,123,8,22,1.0250,-12.5#",
                     {{"ZDAD02.command", "4"},
                      {"ZDAD02.start", "123"},
                      {"ZDAD02.length", "8"},
                      {"ZDAD02.format", "22"},
                      {"ZDAD02.coefficient", "1.0250"},
                      {"ZDAD02.migration", "-12.5"}}},
        AppliedWrite{"TEKVAR#ZDAD03:1,7,2,9,0.98,-1#",
                     {{"ZDAD03.command", "1"},
                      {"ZDAD03.start", "007"},
                      {"ZDAD03.length", "2"},
                      {"ZDAD03.format", "09"},
                      {"ZDAD03.coefficient", "000.98"},
                      {"ZDAD03.migration", "-0001"}}},
        AppliedWrite{"TEKVAR#ZDAD01:2,001,4,10,0.9350,00000#",
                     {{"ZDAD01.command", "2"},
                      {"ZDAD01.length", "4"},
                      {"ZDAD01.format", "10"},
                      {"ZDAD01.coefficient", "0.9350"}}},
        AppliedWrite{"TEKVAR#DOTA1:4.5,20#", {{"DOAT1.4mA", "004.5"}, {"DOAT1.20mA", "00020"}}},
        AppliedWrite{"TEKVAR#DOTA3:-10.0,999.9#",
                     {{"DOAT3.4mA", "-10.0"}, {"DOAT3.20mA", "999.9"}}},
        AppliedWrite{"TEKVAR#DOTA2:.5,-.5#", {{"DOAT2.4mA", "000.5"}, {"DOAT2.20mA", "-00.5"}}}));

struct RefusedWrite {
    const char* frame;
    const char* reply;
};

class RefusedWriteTest : public ::testing::TestWithParam<RefusedWrite> {};

std::string EveryReadBack(Device& device) {
    std::string all;
    for (const char* q : {"PPPPPP#CHEACK1#", "PPPPPP#COMR01#", "PPPPPP#COMR02#", "PPPPPP#COMP01#",
                          "PPPPPP#COMP02#", "PPPPPP#STATUS#"}) {
        all += device.Answer(q);
    }
    return all;
}

// The error text must also hold no key of the console's decoders, or a
// console expecting a parameter reply would decode it.
TEST_P(RefusedWriteTest, IsAnsweredWithItsErrorAndStoresNothing) {
    Device device;
    std::string before = EveryReadBack(device);
    std::string reply = device.Answer(GetParam().frame);
    EXPECT_EQ(reply, GetParam().reply);
    EXPECT_EQ(EveryReadBack(device), before);
    for (auto key : testing::kDecoderKeys) {
        EXPECT_EQ(reply.find(key), std::string::npos) << reply << " holds " << key;
    }
}

std::string HexText(std::size_t n) {
    return std::string(n, 'A');
}

const std::string kCommandOf200 = "TEKVAR#COMW1:1,200" + HexText(200) + "#";

INSTANTIATE_TEST_SUITE_P(
    EveryWriteFrame, RefusedWriteTest,
    ::testing::Values(
        RefusedWrite{"TEKVAR#JTM:1234#", "ERR:JTM width\r\n"},
        RefusedWrite{"TEKVAR#JTM:#", "ERR:JTM value\r\n"},
        RefusedWrite{"TEKVAR#JTM:1 0#", "ERR:JTM value\r\n"},
        RefusedWrite{"TEKVAR#JTM:-10#", "ERR:JTM value\r\n"},
        RefusedWrite{"TEKVAR#ADR:0001#", "ERR:ADR width\r\n"},
        RefusedWrite{"TEKVAR#ADR:1a#", "ERR:ADR value\r\n"},
        RefusedWrite{"TEKVAR#RS485A:-1,0#", "ERR:RS485A baud value\r\n"},
        RefusedWrite{"TEKVAR#RS485A:4,0#", "ERR:RS485A baud value\r\n"},
        RefusedWrite{"TEKVAR#RS485A:3,-1#", "ERR:RS485A parity value\r\n"},
        RefusedWrite{"TEKVAR#RS485A:3,3#", "ERR:RS485A parity value\r\n"},
        RefusedWrite{"TEKVAR#RS485A:3#", "ERR:RS485A fields\r\n"},
        // The console's start-up frame, with no command number chosen yet.
        RefusedWrite{"TEKVAR#ZDAD01:-1,01,0,00,000001,00000#", "ERR:ZDAD01 command value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD01:5,01,0,00,000001,00000#", "ERR:ZDAD01 command value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD02:0,1000,0,00,000001,00000#", "ERR:ZDAD02 start width\r\n"},
        RefusedWrite{"TEKVAR#ZDAD02:0,0x1,0,00,000001,00000#", "ERR:ZDAD02 start value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD02:0,01,10,00,000001,00000#", "ERR:ZDAD02 length width\r\n"},
        RefusedWrite{"TEKVAR#ZDAD02:0,01,,00,000001,00000#", "ERR:ZDAD02 length value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD03:0,01,0,0-1,000001,00000#", "ERR:ZDAD03 format value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD03:0,01,0,23,000001,00000#", "ERR:ZDAD03 format value\r\n"},
        // Coefficients of the output test that lose decimals to 7 characters.
        RefusedWrite{"TEKVAR#ZDAD01:0,01,0,00,-8.0000,00000#", "ERR:ZDAD01 coefficient width\r\n"},
        RefusedWrite{"TEKVAR#ZDAD01:0,01,0,00,102.000,00000#", "ERR:ZDAD01 coefficient width\r\n"},
        RefusedWrite{"TEKVAR#ZDAD01:0,01,0,00,1.0.00,00000#", "ERR:ZDAD01 coefficient value\r\n"},
        RefusedWrite{"TEKVAR#ZDAD01:0,01,0,00,000001,123456#", "ERR:ZDAD01 migration width\r\n"},
        RefusedWrite{"TEKVAR#ZDAD01:0,01,0,00,000001,-#", "ERR:ZDAD01 migration value\r\n"},
        // A comma typed into a field adds a field.
        RefusedWrite{"TEKVAR#ZDAD01:0,0,1,0,00,000001,00000#", "ERR:ZDAD01 fields\r\n"},
        RefusedWrite{"TEKVAR#DOTA1:0.0000,100.0#", "ERR:DOTA1 4mA width\r\n"},
        RefusedWrite{"TEKVAR#DOTA2:0.000,1000.0#", "ERR:DOTA2 20mA width\r\n"},
        RefusedWrite{"TEKVAR#DOTA3:--1,100.0#", "ERR:DOTA3 4mA value\r\n"},
        RefusedWrite{"TEKVAR#DOTA3:1-2,100.0#", "ERR:DOTA3 4mA value\r\n"},
        RefusedWrite{"TEKVAR#DOTA1:,100.0#", "ERR:DOTA1 4mA value\r\n"},
        RefusedWrite{"TEKVAR#DOTA1:0.000#", "ERR:DOTA1 fields\r\n"},
        // The console's start-up frame, with no enable state chosen yet.
        RefusedWrite{"TEKVAR#COMW1:-1,160103000000044409#", "ERR:COMW1 enable value\r\n"},
        RefusedWrite{"TEKVAR#COMW1:2,160103000000044409#", "ERR:COMW1 enable value\r\n"},
        RefusedWrite{"TEKVAR#COMW1:1,150103000000044409#", "ERR:COMW1 length value\r\n"},
        RefusedWrite{"TEKVAR#COMW2:1,09010300000#", "ERR:COMW2 command value\r\n"},
        RefusedWrite{"TEKVAR#COMW2:1,04GG01#", "ERR:COMW2 command value\r\n"},
        RefusedWrite{"TEKVAR#COMW1:1#", "ERR:COMW1 fields\r\n"},
        RefusedWrite{kCommandOf200.c_str(), "ERR:COMW1 command width\r\n"},
        RefusedWrite{"TEKVAR#COMP01:0103#", "ERR:COMP01 width\r\n"},
        RefusedWrite{"TEKVAR#COMP02:01030G#", "ERR:COMP02 value\r\n"},
        RefusedWrite{"TEKVAR#IOA:0-3#", "ERR:IOA value\r\n"},
        RefusedWrite{"TEKVAR#IOA:#", "ERR:IOA value\r\n"},
        RefusedWrite{"TEKVAR#IOA:25#", "ERR:IOA range\r\n"},
        RefusedWrite{"TEKVAR#IOA:150#", "ERR:IOA range\r\n"},
        RefusedWrite{"TEKVAR#IOA:1000#", "ERR:IOA value\r\n"},
        RefusedWrite{"TEKVAR#XYZ:1#", "ERR:unknown command\r\n"},
        RefusedWrite{"TEKVAR#jtm:10#", "ERR:unknown command\r\n"},
        RefusedWrite{"TEKVAR#DOAT1:0.000,100.0#", "ERR:unknown command\r\n"},
        RefusedWrite{"TEKVAR#JTM#", "ERR:unknown command\r\n"}));

}  // namespace
}  // namespace vk630sim
