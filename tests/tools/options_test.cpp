// The command line, and the byte time its rate and parity give.
#include "core/options.h"

#include <gtest/gtest.h>

namespace vk630sim {
namespace {

using std::chrono::milliseconds;

Options Parse(std::vector<std::string> args) {
    auto parsed = ParseOptions(args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    return parsed.options.value_or(Options{});
}

TEST(Options, DefaultsArePtyAt9600NoParityWith20MsDelayAndNoFaults) {
    Options o = Parse({});
    EXPECT_FALSE(o.port);
    EXPECT_FALSE(o.link);
    EXPECT_EQ(o.baud, 9600u);
    EXPECT_EQ(o.parity, LineParity::None);
    EXPECT_EQ(o.delay, milliseconds(20));
    EXPECT_EQ(o.faults, FaultOptions{});
    EXPECT_FALSE(o.quiet);
}

TEST(Options, ReadsEveryOptionInBothSpellings) {
    Options o = Parse({"--port", "/dev/ttyUSB1", "--baud=1200", "--parity", "even", "--delay=0",
                       "--split-reply", "400", "--garbage=7", "--silent", "--hangup-after", "3",
                       "--quiet"});
    EXPECT_EQ(o.port, "/dev/ttyUSB1");
    EXPECT_EQ(o.baud, 1200u);
    EXPECT_EQ(o.parity, LineParity::Even);
    EXPECT_EQ(o.delay, milliseconds(0));
    EXPECT_EQ(o.faults.splitReply, milliseconds(400));
    EXPECT_EQ(o.faults.garbageBytes, 7u);
    EXPECT_TRUE(o.faults.silent);
    EXPECT_EQ(o.faults.hangupAfter, 3u);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(Parse({"--link", "/tmp/x", "--parity=odd"}).link, "/tmp/x");
    EXPECT_EQ(Parse({"--unknown", "COMR,COMP"}).unknown,
              (std::vector<std::string>{"COMR", "COMP"}));
}

class BadOptionsTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadOptionsTest, AreRefusedWithAReason) {
    auto parsed = ParseOptions(GetParam());
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadOptionsTest,
    ::testing::Values(
        std::vector<std::string>{"--baud"}, std::vector<std::string>{"--baud", "fast"},
        std::vector<std::string>{"--baud", "0"}, std::vector<std::string>{"--baud", "9600x"},
        std::vector<std::string>{"--parity", "mark"}, std::vector<std::string>{"--delay", "-1"},
        std::vector<std::string>{"--split-reply", "60001"},
        std::vector<std::string>{"--garbage", "65536"},
        std::vector<std::string>{"--hangup-after", "0"}, std::vector<std::string>{"--silent=yes"},
        std::vector<std::string>{"--port", ""},
        std::vector<std::string>{"--port", "/dev/ttyS0", "--link", "/tmp/x"},
        std::vector<std::string>{"--output-error", "0.5,-0.3"},
        std::vector<std::string>{"--output-error", "0.5,-0.3,0,1"},
        std::vector<std::string>{"--output-error", "0.5,,0"},
        std::vector<std::string>{"--output-error", "0.5,-0.3,101"},
        std::vector<std::string>{"--frobnicate"}, std::vector<std::string>{"/dev/ttyS0"},
        std::vector<std::string>{"--unknown", "COMR,"}));

TEST(Options, LinkGoesToTheRuntimeDirectoryOrTmp) {
    EXPECT_EQ(DefaultLinkPath("/run/user/1000"), "/run/user/1000/vk630-sim");
    EXPECT_EQ(DefaultLinkPath(nullptr), "/tmp/vk630-sim");
    EXPECT_EQ(DefaultLinkPath(""), "/tmp/vk630-sim");
}

TEST(Options, ByteTimeCountsStartDataParityAndStopBits) {
    EXPECT_EQ(ByteTime(9600, LineParity::None), std::chrono::nanoseconds(1'041'666));
    EXPECT_EQ(ByteTime(9600, LineParity::Even), std::chrono::nanoseconds(1'145'833));
    EXPECT_EQ(ByteTime(1200, LineParity::Odd), std::chrono::nanoseconds(9'166'666));
    EXPECT_EQ(ByteTime(115200, LineParity::None), std::chrono::nanoseconds(86'805));
}

}  // namespace
}  // namespace vk630sim
