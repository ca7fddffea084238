// The queries: command slots read back at the offsets of the console's
// command decoders, the output currents, the identity line.
#include <gtest/gtest.h>

#include <string>

#include "core/device.h"
#include "reply_layout.h"

namespace vk630sim {
namespace {

using testing::FieldAt;

// The command text reply as the console reads it: enable, byte count N and
// 2 x N characters of command text from offset 11.
struct CommandText {
    std::string enable;
    std::string bytes;
    std::string command;
};

CommandText ReadCommandText(const std::string& reply, const char* key) {
    CommandText c;
    c.enable = FieldAt(reply, key, 6, 1).value_or("?");
    c.bytes = FieldAt(reply, key, 8, 2).value_or("?");
    std::size_t n = std::stoul(c.bytes);
    c.command = FieldAt(reply, key, 11, 2 * n).value_or("?");
    return c;
}

TEST(DeviceCommandSlots, StartWithTheConsoleDefaults) {
    Device device;
    EXPECT_EQ(device.Answer("PPPPPP#COMR01#"), "COMR1:0,08,0103000000044409\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#COMR02#"), "COMR2:0,08,0103000000044409\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#COMP01#"), "COMP01:010300\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#COMP02#"), "COMP02:010300\r\n");
}

struct CommandWrite {
    int slot;
    std::string frame;
    std::string enable;
    std::string bytes;
    std::string command;
};

class CommandWriteTest : public ::testing::TestWithParam<CommandWrite> {};

TEST_P(CommandWriteTest, IsShownBackByItsSlotAlone) {
    const auto& w = GetParam();
    Device device;
    ASSERT_EQ(device.Answer(w.frame), "OK\r\n");
    const char* key = w.slot == 1 ? "COMR1:" : "COMR2:";
    std::string reply = device.Answer(w.slot == 1 ? "PPPPPP#COMR01#" : "PPPPPP#COMR02#");
    auto read = ReadCommandText(reply, key);
    EXPECT_EQ(read.enable, w.enable);
    EXPECT_EQ(read.bytes, w.bytes);
    EXPECT_EQ(read.command, w.command);
    EXPECT_TRUE(reply.ends_with(w.command + "\r\n")) << reply;
    std::string other = device.Answer(w.slot == 1 ? "PPPPPP#COMR02#" : "PPPPPP#COMR01#");
    EXPECT_TRUE(other.ends_with(":0,08,0103000000044409\r\n")) << other;
}

std::string Hex(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "0123456789ABCDEF"[i % 16];
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    LengthDigits, CommandWriteTest,
    ::testing::Values(
        CommandWrite{1, "TEKVAR#COMW1:1,160103000000044409#", "1", "08", "0103000000044409"},
        CommandWrite{2, "TEKVAR#COMW2:1,160103000000044409#", "1", "08", "0103000000044409"},
        CommandWrite{1, "TEKVAR#COMW1:0,00#", "0", "00", ""},
        CommandWrite{2, "TEKVAR#COMW2:1,08010300ff#", "1", "04", "010300ff"},
        CommandWrite{1, "TEKVAR#COMW1:1,10" + Hex(10) + "#", "1", "05", Hex(10)},
        CommandWrite{1, "TEKVAR#COMW1:1,100" + Hex(100) + "#", "1", "50", Hex(100)},
        CommandWrite{2, "TEKVAR#COMW2:0,198" + Hex(198) + "#", "0", "99", Hex(198)}));

TEST(DeviceCommandSlots, ParseBytesWriteIsAnsweredWithTheStoredBytes) {
    Device device;
    // The console decodes this reply as a parse reply and shows the bytes back.
    std::string reply = device.Answer("TEKVAR#COMP02:0A0b0C#");
    EXPECT_EQ(reply, "COMP02:0A0b0C\r\n");
    EXPECT_EQ(FieldAt(reply, "COMP02:", 7, 2), "0A");
    EXPECT_EQ(FieldAt(reply, "COMP02:", 9, 2), "0b");
    EXPECT_EQ(FieldAt(reply, "COMP02:", 11, 2), "0C");
    EXPECT_EQ(device.Answer("PPPPPP#COMP02#"), "COMP02:0A0b0C\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#COMP01#"), "COMP01:010300\r\n");
}

TEST(DeviceStatus, OutputsFollowTheirRanges) {
    Device device;
    EXPECT_EQ(device.Answer("PPPPPP#STATUS#"),
              "STATUS:OUT1=8.000mA,OUT2=12.000mA,OUT3=16.000mA\r\n");
    ASSERT_EQ(device.Answer("TEKVAR#DOTA1:0,50#"), "OK\r\n");   // 25 is half way: 12 mA
    ASSERT_EQ(device.Answer("TEKVAR#DOTA2:5,5#"), "OK\r\n");    // no span: 4 mA
    ASSERT_EQ(device.Answer("TEKVAR#DOTA3:100,0#"), "OK\r\n");  // falling range
    EXPECT_EQ(device.Answer("PPPPPP#STATUS#"),
              "STATUS:OUT1=12.000mA,OUT2=4.000mA,OUT3=8.000mA\r\n");
    ASSERT_EQ(device.Answer("TEKVAR#DOTA1:50,60#"), "OK\r\n");  // below the range: held at 4 mA
    EXPECT_TRUE(device.Answer("PPPPPP#STATUS#").starts_with("STATUS:OUT1=4.000mA,"));
}

TEST(DeviceStatus, TestModeHoldsTheTestCurrentOnEveryOutput) {
    Device device;
    ASSERT_EQ(device.Answer("TEKVAR#IOA:20#"), "OK\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#STATUS#"),
              "STATUS:TEST,OUT1=20.000mA,OUT2=20.000mA,OUT3=20.000mA\r\n");
    ASSERT_EQ(device.Answer("TEKVAR#IOA:04#"), "OK\r\n");
    ASSERT_EQ(device.Answer("TEKVAR#IOA:150#"), "ERR:IOA range\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#STATUS#"),
              "STATUS:TEST,OUT1=4.000mA,OUT2=4.000mA,OUT3=4.000mA\r\n");
}

TEST(DeviceQueries, IdentityAndUnknownQueries) {
    Device device;
    EXPECT_EQ(device.Answer("999999#VAR#"), "VK630-E V1.0 SIM\r\n");
    EXPECT_EQ(device.Answer("999999#VER#"), "ERR:unknown query\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#CHEACK2#"), "ERR:unknown query\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#COMR1#"), "ERR:unknown query\r\n");
    EXPECT_EQ(device.Answer("PPPPPP#status#"), "ERR:unknown query\r\n");
}

}  // namespace
}  // namespace vk630sim
