// The output stages' gain error and the meter that shows it, through the
// program as a demonstration or a calibration script meets them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "raw_terminal.h"
#include "sim_process.h"

namespace vk630sim {
namespace {

using namespace std::chrono_literals;
using testing::Joined;
using testing::RawTerminal;
using testing::SimProcess;

std::string Content(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SimMeter, TestCurrentCarriesEachGainErrorAndItsStoredCoefficient) {
    char pattern[] = "/tmp/vk630sim-meter-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string meter = dir + "/meter";
    SimProcess sim(
        {"--baud", "115200", "--delay", "1", "--output-error", "0.5,-0.3,50", "--meter", meter});
    RawTerminal line(sim.SlavePath());
    ASSERT_TRUE(line.IsOpen()) << sim.Banner();
    struct Step {
        const char* frame;
        const char* reply;
        const char* shown;  // on the meter after the reply
    } const steps[] = {
        {"PPPPPP#STATUS#", "STATUS:OUT1=5.600mA,OUT2=12.000mA,OUT3=16.000mA\r\n", ""},
        {"TEKVAR#IOA:20#", "OK\r\n", "20.100 19.940 24.000\n"},  // 30 mA held at 24
        {"TEKVAR#ZDAD02:2,003,2,03,1.0030,00000#", "OK\r\n", "20.100 20.000 24.000\n"},
        {"TEKVAR#IOA:04#", "OK\r\n", "4.020 4.000 6.000\n"},
        {"PPPPPP#STATUS#", "STATUS:TEST,OUT1=4.020mA,OUT2=4.000mA,OUT3=6.000mA\r\n",
         "4.020 4.000 6.000\n"},
    };
    for (const Step& step : steps) {
        line.Send(step.frame);
        EXPECT_EQ(Joined(line.ReadUntil("\r\n", 2s)), step.reply) << step.frame;
        EXPECT_EQ(Content(meter), step.shown) << step.frame;
    }
    const std::string log = sim.Log();
    EXPECT_NE(log.find(", output gain errors 0.500 -0.300 50.000 %"), std::string::npos);
    EXPECT_NE(log.find(" outputs: 20.100 19.940 24.000 mA\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vk630sim
