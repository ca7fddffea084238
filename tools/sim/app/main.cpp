// vk630-sim: a simulated VK630-E transmitter for the console, on a
// pseudo-terminal or a real serial port.
#include <array>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/logger.h"
#include "app/meter.h"
#include "app/port_line.h"
#include "app/pty_line.h"
#include "app/runner.h"
#include "app/stop_signal.h"
#include "core/device.h"
#include "core/options.h"
#include "core/reply_plan.h"
#include "ports/simulator_link.h"

namespace {

using namespace vk630sim;

void LogSetup(const Options& o, const Logger& log) {
    std::string text = std::to_string(o.baud) + " baud, parity " + ParityName(o.parity) +
                       ", device delay " + std::to_string(o.delay.count()) + " ms";
    if (o.faults.splitReply) {
        text += ", replies split " + std::to_string(o.faults.splitReply->count()) + " ms apart";
    }
    if (o.faults.garbageBytes) text += ", " + std::to_string(o.faults.garbageBytes) + " junk bytes";
    if (o.faults.silent) text += ", silent";
    if (o.outputErrorPercent != std::array<double, 3>{}) {
        text += ", output gain errors " + MeterReading(o.outputErrorPercent) + " %";
    }
    if (o.faults.hangupAfter) {
        text += ", hang-up after " + std::to_string(*o.faults.hangupAfter) + " frames";
    }
    for (const std::string& keyword : o.unknown) text += ", no " + keyword;
    log.Note(text);
}

int Run(const Options& o) {
    StopSignal stop;
    Logger log(o.quiet);
    std::unique_ptr<Line> line;
    if (o.port) {
        line = OpenPortLine(*o.port, o.baud, o.parity, log);
        std::printf("vk630-sim: answering on %s at %u baud, parity %s\n", o.port->c_str(), o.baud,
                    ParityName(o.parity));
    } else {
        auto pty = std::make_unique<PtyLine>(
            o.baud, o.parity, o.link ? *o.link : DefaultLinkPath(ports::RuntimeDir()));
        std::printf("vk630-sim: open %s in the console (also %s)\n", pty->SlavePath().c_str(),
                    pty->LinkPath().c_str());
        line = std::move(pty);
    }
    std::fflush(stdout);
    LogSetup(o, log);
    DeviceState initial = FieldDeviceState();
    initial.outputGainErrorPercent = o.outputErrorPercent;
    Device device(initial, o.unknown);
    ReplyPlanner planner(o.faults, o.delay);
    Meter meter(o.meter, log);
    return RunConversation(*line, device, planner, log, stop, meter);
}

}  // namespace

int main(int argc, char** argv) {
    ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "vk630-sim: %s\n%s", parsed.error.c_str(), UsageText().c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    try {
        return Run(*parsed.options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vk630-sim: %s\n", e.what());
        return 1;
    }
}
