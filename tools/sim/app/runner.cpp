#include "app/runner.h"

#include <poll.h>

#include <cerrno>

#include "core/frame_splitter.h"

namespace vk630sim {
namespace {

enum class Next { Continue, Stop, HungUp };

Next Answer(const std::string& frame, Line& line, Device& device, ReplyPlanner& planner,
            const Logger& log, const StopSignal& stop, Meter& meter) {
    log.Received(frame);
    if (auto remark = line.Remark()) log.Note(*remark);
    Turn turn = planner.Plan(device.Answer(frame));
    meter.Look(device.State());
    if (turn.bursts.empty()) log.Note("silent: no reply");
    for (const Burst& burst : turn.bursts) {
        if (!stop.SleepFor(burst.pauseBefore)) return Next::Stop;
        log.Sent(burst.bytes);
        SendResult sent = line.Send(burst.bytes, stop);
        if (sent.stopped) return Next::Stop;
        if (sent.written < burst.bytes.size()) {
            log.Note("nobody reads the line: " + std::to_string(burst.bytes.size() - sent.written) +
                     " bytes dropped");
        }
    }
    if (turn.hangUp) {
        log.Note("hanging up as asked");
        line.HangUp(stop);
        return Next::HungUp;
    }
    return Next::Continue;
}

}  // namespace

int RunConversation(Line& line, Device& device, ReplyPlanner& planner, const Logger& log,
                    const StopSignal& stop, Meter& meter) {
    FrameSplitter splitter;
    for (;;) {
        pollfd fds[2] = {{line.WaitFd(), POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            log.Note("cannot wait for the line");
            return 1;
        }
        if (fds[1].revents & POLLIN) {
            log.Note("stopping");
            return 0;
        }
        if (fds[0].revents == 0) continue;
        std::string bytes;
        if (!line.Receive(bytes)) {
            log.Note("the line is gone");
            return 1;
        }
        for (const LinePiece& piece : splitter.Feed(bytes)) {
            if (piece.kind == LinePiece::Kind::Junk) {
                log.Skipped(piece.bytes);
                continue;
            }
            switch (Answer(piece.bytes, line, device, planner, log, stop, meter)) {
                case Next::Continue:
                    break;
                case Next::Stop:
                    log.Note("stopping");
                    return 0;
                case Next::HungUp:
                    return 0;
            }
        }
    }
}

}  // namespace vk630sim
