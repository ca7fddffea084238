#include "cli/readings_input.h"

#include <cstdio>
#include <sstream>

namespace cli {
namespace {

constexpr const char* kExpected =
    "expected three readings in mA separated by spaces, as 4.01 4 3.98";

}  // namespace

std::optional<std::array<std::string, 3>> SplitReadings(std::string_view line) {
    std::istringstream words{std::string(line)};
    std::array<std::string, 3> readings;
    for (std::string& reading : readings) {
        if (!(words >> reading)) return std::nullopt;
        for (char& c : reading)
            if (c == ',') c = '.';
    }
    std::string more;
    if (words >> more) return std::nullopt;
    return readings;
}

ReadingsInput::ReadingsInput(std::istream& in, bool terminal, Progress& progress)
    : in_(in), terminal_(terminal), progress_(progress) {}

std::optional<std::array<std::string, 3>> ReadingsInput::Next(int mA, calibration::Pass pass) {
    while (!ended_) {
        if (terminal_) {
            ;  // dropped
            std::fprintf(stderr, "%d mA%s: outputs 1 2 3? ", mA,
                         pass == calibration::Pass::AsLeft ? " (as left)" : "");
            std::fflush(stderr);
        }
        std::string line;
        if (!std::getline(in_, line)) {
            if (terminal_) std::fputc('\n', stderr);
            ended_ = "standard input ended before the readings at " + std::to_string(mA) + " mA";
            break;
        }
        ++lineNumber_;
        if (auto readings = SplitReadings(line)) return readings;
        Refused(kExpected);
    }
    return std::nullopt;
}

void ReadingsInput::Refused(const std::string& why) {
    const std::string said = "line " + std::to_string(lineNumber_) + ": " + why;
    if (!terminal_) {
        ended_ = "standard input " + said;
        return;
    }
    std::fprintf(stderr, "vk630e-cli: %s\n", why.c_str());
}

}  // namespace cli
