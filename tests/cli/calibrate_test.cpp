// vk630e-cli calibrate and write --record against the simulator: the frames
// the device receives, what the exit status says, and the record kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "calibration/file_digest.h"
#include "calibration/record.h"
#include "cli_child.h"
#include "sim_process.h"

namespace {

using cli::testing::FileText;
using cli::testing::RunCliWithInput;
using ::testing::HasSubstr;
using vk630sim::testing::SimProcess;

// What the simulator received, one frame a line.
std::vector<std::string> Frames(const SimProcess& sim) {
    std::istringstream log(sim.Log());
    std::vector<std::string> frames;
    for (std::string line; std::getline(log, line);)
        if (const auto at = line.find(" rx "); at != std::string::npos)
            frames.push_back(line.substr(at + 4));
    return frames;
}

const std::string kIdentify[] = {"999999#VAR#", "PPPPPP#CHEACK1#"};

std::vector<std::string> Then(std::vector<std::string> frames) {
    frames.insert(frames.begin(), std::begin(kIdentify), std::end(kIdentify));
    return frames;
}

calibration::Record OtherUnit() {
    calibration::Record other;
    other.made = "2026-12-08T14:00:00+00:00";
    other.unit = {"FT-7", "VK630-E V1.0 SIM", "005", "/dev/ttyUSB0"};
    return other;
}

TEST(CliCalibrate, FramesStatusAndRecordOfEachEnd) {
    const std::string other = calibration::WriteRecord(OtherUnit());
    struct Case {
        const char* what;
        std::vector<std::string> simArgs;
        std::vector<std::string> args;  // after calibrate --port P --record R
        std::string input;
        int status;
        std::vector<std::string> frames;  // the first ones received, in order
        bool allFrames;                   // and no more
        std::vector<std::string> said;    // on standard output or error
        const char* verdict;              // of the record file
        std::size_t asFound;              // readings kept as found
    } const cases[] = {
        {"adjusted at 20 mA and checked again",
         {"--output-error", "0.5,-0.3,0"},
         {"--tag", "FT-101"},
         "4.02 3.988 4\n12,06 11,964 12\n20.1 19.94 20\n4 4 4\n12 12 12\n20 20 20\n",
         0,
         Then({"TEKVAR#IOA:04#", "TEKVAR#IOA:12#", "TEKVAR#IOA:20#", "PPPPPP#CHEACK1#",
               "TEKVAR#ZDAD01:1,001,2,00,0.9950,00000#", "TEKVAR#ZDAD02:2,003,2,03,1.0030,00000#",
               "TEKVAR#ZDAD03:0,001,0,00,1.0000,00000#", "PPPPPP#CHEACK1#", "TEKVAR#IOA:04#",
               "TEKVAR#IOA:12#", "TEKVAR#IOA:20#"}),
         true,
         {"Unit \"VK630-E V1.0 SIM\", address 017, on ",
          "set mA  output 1             output 2             output 3",
          "    20   20.100   0.63 FAIL   19.940  -0.38 FAIL   20.000   0.00 pass\n worst     "
          "       0.63                -0.38                 0.00\nCoefficients before: 000001 "
          "000001 000001\nCoefficients after:  0.9950 1.0030 1.0000 (at 20 mA), read back\n"},
         "pass",
         3},
        {"a coefficient too wide for the device",
         {},
         {"--points", "20"},
         "50 20 20\n",
         4,
         Then({"TEKVAR#IOA:20#", "PPPPPP#CHEACK1#", "TEKVAR#ZDAD01:1,001,2,00,-0.5000,00000#"}),
         true,
         {"Output 1: the device refused the coefficient -0.5000"},
         "incomplete",
         1},
        {"a hang-up after the 12 mA point",
         {"--hangup-after", "4"},
         {},
         "4 4 4\n12 12 12\n20 20 20\n",
         3,
         Then({"TEKVAR#IOA:04#", "TEKVAR#IOA:12#"}),
         false,
         {"hung up"},
         "incomplete",
         2},
        {"out of tolerance, check only",
         {},
         {"--no-adjust", "--points", "4,20", "--tolerance", "0.1"},
         "4.02 4 4\n20 20 20\n",
         6,
         Then({"TEKVAR#IOA:04#", "TEKVAR#IOA:20#"}),
         true,
         {"Verdict: FAIL\nThe outputs stay at 20 mA until the transmitter is restarted.\n"},
         "fail",
         2},
        {"two readings on a line from a pipe",
         {},
         {},
         "4 4\n4 4 4\n",
         1,
         Then({"TEKVAR#IOA:04#"}),
         true,
         {"standard input line 1: expected three readings"},
         "incomplete",
         0},
        {"a reading that is no number",
         {},
         {},
         "4 4 4\n12 x12 12\n",
         1,
         Then({"TEKVAR#IOA:04#", "TEKVAR#IOA:12#"}),
         true,
         {"line 2: 'x12' is not a valid floating point value"},
         "incomplete",
         1},
    };
    for (const Case& c : cases) {
        SimProcess sim(c.simArgs);
        const std::string record = sim.Dir() + "/record.json";
        std::vector<std::string> args = {"calibrate", "--port", sim.LinkPath(), "--record", record};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = RunCliWithInput(sim.Dir(), args, c.input);
        EXPECT_EQ(result.status, c.status) << c.what << "\n" << result.out << result.err;
        for (const std::string& said : c.said)
            EXPECT_THAT(result.out + result.err, HasSubstr(said)) << c.what;
        std::vector<std::string> frames = Frames(sim);
        if (!c.allFrames && frames.size() > c.frames.size()) frames.resize(c.frames.size());
        EXPECT_EQ(frames, c.frames) << c.what;
        const calibration::Record kept = calibration::ReadRecord(FileText(record), record);
        EXPECT_EQ(calibration::Verdict(kept), c.verdict) << c.what;
        ASSERT_TRUE(kept.outputs) << c.what;
        EXPECT_EQ(kept.outputs->asFound.size(), c.asFound) << c.what;
        EXPECT_EQ(kept.unit.address, "017") << c.what;
    }

    // Another unit's record is refused and left as it was.
    SimProcess sim({});
    const std::string record = sim.Dir() + "/record.json";
    std::ofstream(record) << other;
    const auto refused = RunCliWithInput(sim.Dir(),
                                         {"calibrate", "--port", sim.LinkPath(), "--record", record,
                                          "--points", "20", "--no-adjust"},
                                         "20 20 20\n");
    EXPECT_EQ(refused.status, 5) << refused.err;
    EXPECT_THAT(refused.err, HasSubstr("holds the record of another unit"));
    EXPECT_EQ(FileText(record), other);
}

TEST(CliCalibrate, WriteAndCalibrateCollectOneUnitsRecord) {
    SimProcess sim({});
    const std::string file = sim.Dir() + "/unit.json", record = sim.Dir() + "/record.json";
    ASSERT_EQ(RunCliWithInput(sim.Dir(), {"read", "--port", sim.LinkPath(), "-o", file}, "").status,
              0);
    const std::size_t before = Frames(sim).size();
    // The unit is named by the address it reports after the write.
    const auto write =
        RunCliWithInput(sim.Dir(),
                        {"write", file, "--port", sim.LinkPath(), "--set", "address=018",
                         "--record", record, "--technician", "A. Tech"},
                        "");
    ASSERT_EQ(write.status, 0) << write.err;
    std::vector<std::string> frames = Frames(sim);
    frames.erase(frames.begin(), frames.begin() + static_cast<std::ptrdiff_t>(before));
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), "999999#VAR#");
    const auto written = std::count_if(frames.begin(), frames.end(), [](const std::string& f) {
        return f.starts_with("TEKVAR#");
    });

    const auto check = RunCliWithInput(sim.Dir(),
                                       {"calibrate", "--port", sim.LinkPath(), "--record", record,
                                        "--points", "20", "--no-adjust", "--meter", "Fluke 87"},
                                       "20 20 20\n");
    ASSERT_EQ(check.status, 0) << check.err;

    const calibration::Record kept = calibration::ReadRecord(FileText(record), record);
    EXPECT_EQ(kept.unit.address, "018");
    EXPECT_EQ(kept.unit.identity, "VK630-E V1.0 SIM");
    EXPECT_EQ(kept.meter, "Fluke 87");
    EXPECT_EQ(kept.technician, "A. Tech");
    ASSERT_TRUE(kept.settings);
    EXPECT_EQ(kept.settings->file, file);
    EXPECT_EQ(kept.settings->sha256, calibration::Sha256Hex(FileText(file)));
    EXPECT_EQ(kept.settings->written, written);
    EXPECT_TRUE(kept.settings->verified);
    ASSERT_TRUE(kept.outputs);
    EXPECT_TRUE(kept.outputs->complete);
    EXPECT_EQ(calibration::Verdict(kept), "pass");

    const struct {
        std::string record, pdf;
        int status;
    } certificates[] = {
        {record, sim.Dir() + "/unit.pdf", 0},
        {sim.Dir() + "/missing.json", sim.Dir() + "/missing.pdf", 5},
        {record, sim.Dir() + "/no folder/unit.pdf", 7},
    };
    for (const auto& c : certificates) {
        const auto made = RunCliWithInput(sim.Dir(), {"certificate", c.record, "-o", c.pdf}, "");
        EXPECT_EQ(made.status, c.status) << c.pdf << "\n" << made.err;
        EXPECT_EQ(made.err.empty(), c.status == 0) << made.err;
        EXPECT_EQ(FileText(c.pdf).starts_with("%PDF-"), c.status == 0) << c.pdf;
    }
}

}  // namespace
