#include "cli/readings_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

namespace cli {
namespace {

constexpr const char* kExpected =
    "expected three readings in mA separated by spaces, as 4.01 4 3.98";

// A terminal hands over one line per read, so with the line not yet typed
// nothing waits in the stream's buffer and the descriptor tells the truth.
// Returns false when a stop was asked for first.
bool WaitForLine(int stopFd) {
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        return ready < 0 || fds[1].revents == 0;
    }
}

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

ReadingsInput::ReadingsInput(std::istream& in, bool terminal, Progress& progress, int stopFd)
    : in_(in), terminal_(terminal), progress_(progress), stopFd_(stopFd) {}

std::optional<std::array<std::string, 3>> ReadingsInput::Next(int mA, calibration::Pass pass) {
    while (!ended_) {
        if (terminal_) {
            progress_.Clear();
            std::fprintf(stderr, "%d mA%s: outputs 1 2 3? ", mA,
                         pass == calibration::Pass::AsLeft ? " (as left)" : "");
            std::fflush(stderr);
        }
        if (terminal_ && stopFd_ >= 0 && !WaitForLine(stopFd_)) {
            std::fputc('\n', stderr);
            ended_ = "stopped while waiting for the readings at " + std::to_string(mA) + " mA";
            break;
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
