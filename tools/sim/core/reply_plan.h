// Turns the reply to each received frame into what goes on the line: the
// device delay, the fault modes (junk before the reply, a reply in two
// bursts, silence) and the hang-up after a given number of frames.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vk630sim {

struct FaultOptions {
    std::optional<std::chrono::milliseconds> splitReply;  // pause between the two bursts
    std::size_t garbageBytes = 0;                         // junk sent before every reply
    bool silent = false;                                  // receive and log, never answer
    std::optional<unsigned> hangupAfter;                  // close the line after this many frames

    bool operator==(const FaultOptions&) const = default;
};

struct Burst {
    std::chrono::milliseconds pauseBefore;  // after the frame, or after the previous burst
    std::string bytes;

    bool operator==(const Burst&) const = default;
};

struct Turn {
    std::vector<Burst> bursts;  // empty when silent
    bool hangUp = false;        // close the line once the bursts are out

    bool operator==(const Turn&) const = default;
};

class ReplyPlanner {
public:
    ReplyPlanner(FaultOptions faults, std::chrono::milliseconds deviceDelay);

    // Called once for every frame received, with the device's reply to it.
    Turn Plan(const std::string& reply);

private:
    std::string Junk();

    FaultOptions faults_;
    std::chrono::milliseconds deviceDelay_;
    unsigned frames_ = 0;
    std::minstd_rand noise_;
};

}  // namespace vk630sim
