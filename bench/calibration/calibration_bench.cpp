// Times `vk630e-cli calibrate` at 4, 12 and 20 mA with the adjustment at
// 20 mA against the simulator at 9600 baud, and prints it beside what the
// line itself needs for the same frames: every byte at 1.04 ms, the 300 ms
// pause that ends each reply, and the 100 ms decode tick after each "Read
// Parameters". The readings are piped in as a meter on the simulator's
// outputs would show them, computed from its output errors and the
// coefficients the console's own calculation gives; the simulator answers
// with no device delay, so the difference is the program's. On a
// pseudo-terminal only the simulator paces its bytes; the console's frames
// arrive at once, so a run can come in under the limit by up to their
// line time (as in the write-all benchmark, whose limit this is).
//
//   calibration_bench [runs]
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli_child.h"
#include "dialogue/coefficients.h"
#include "line_limit.h"
#include "sim_process.h"

namespace {

constexpr std::array<double, 3> kGainErrorPercent = {0.5, -0.3, 0.0};
constexpr int kPoints[] = {4, 12, 20};
constexpr int kAdjustAt = 20;

std::string Line(int mA, const std::array<double, 3>& coefficients) {
    char text[64];
    double current[3];
    for (int k = 0; k < 3; ++k)
        current[k] = mA * (1.0 + kGainErrorPercent[k] / 100.0) * coefficients[k];
    std::snprintf(text, sizeof text, "%.3f %.3f %.3f\n", current[0], current[1], current[2]);
    return text;
}

// Six lines: as found with the coefficients at 1, as left with the ones
// computed from the reading at the adjustment point.
std::string Readings() {
    std::string input;
    for (int mA : kPoints) input += Line(mA, {1.0, 1.0, 1.0});
    std::istringstream atS(Line(kAdjustAt, {1.0, 1.0, 1.0}));
    std::string a1, a2, a3;
    atS >> a1 >> a2 >> a3;
    const auto texts = dialogue::CalculateCoefficients(std::to_string(kAdjustAt), a1, a2, a3, '.');
    const std::array<double, 3> adjusted = {
        std::atof(texts[0].c_str()), std::atof(texts[1].c_str()), std::atof(texts[2].c_str())};
    for (int mA : kPoints) input += Line(mA, adjusted);
    return input;
}

// Replies that get a decode tick: those to "Read Parameters".
std::size_t ParameterReads(const std::string& log) {
    std::istringstream lines(log);
    std::size_t reads = 0;
    for (std::string line; std::getline(lines, line);)
        reads += line.ends_with(" rx PPPPPP#CHEACK1#");
    return reads;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    std::printf("vk630e-cli calibrate, 4/12/20 mA adjusted at 20 mA, simulator at 9600 baud\n");
    for (int run = 1; run <= runs; ++run) {
        vk630sim::testing::SimProcess sim(
            {"--baud", "9600", "--delay", "0", "--output-error", "0.5,-0.3,0"});
        const auto start = std::chrono::steady_clock::now();
        const int status = cli::testing::RunCliWithInput(
                               sim.Dir(), {"calibrate", "--port", sim.LinkPath()}, Readings())
                               .status;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const std::string log = sim.Log();
        const bench::Traffic t = bench::FromLog(log);
        const std::size_t ticks = ParameterReads(log);
        const double limit = (t.frameBytes + t.replyBytes) * bench::kByteMs +
                             t.replies * bench::kReplyPauseMs + ticks * bench::kDecodeTickMs;
        std::printf(
            "run %d: exit %d, %.0f ms; line limit %.0f ms (%zu frames %zu B, %zu replies %zu B, "
            "%zu decode ticks): %.3fx\n",
            run, status, ms, limit, t.frames, t.frameBytes, t.replies, t.replyBytes, ticks,
            ms / limit);
        if (status != 0) return 1;
    }
    return 0;
}
