#include "core/reply_plan.h"

namespace vk630sim {

ReplyPlanner::ReplyPlanner(FaultOptions faults, std::chrono::milliseconds deviceDelay)
    : faults_(std::move(faults)), deviceDelay_(deviceDelay), noise_(630) {}

// Line noise without NUL, which would hide the rest of the chunk from the
// console's decoder, and without ":", so that no key can form with the
// reply that follows.
std::string ReplyPlanner::Junk() {
    std::uniform_int_distribution<int> byte(1, 255);
    std::string junk;
    while (junk.size() < faults_.garbageBytes) {
        char c = static_cast<char>(byte(noise_));
        if (c != ':') junk.push_back(c);
    }
    return junk;
}

Turn ReplyPlanner::Plan(const std::string& reply) {
    Turn turn;
    ++frames_;
    turn.hangUp = faults_.hangupAfter && frames_ >= *faults_.hangupAfter;
    if (faults_.silent) return turn;

    std::string first = Junk();
    if (faults_.splitReply && reply.size() >= 2) {
        std::size_t half = reply.size() / 2;
        first += reply.substr(0, half);
        turn.bursts.push_back({deviceDelay_, std::move(first)});
        turn.bursts.push_back({*faults_.splitReply, reply.substr(half)});
    } else {
        turn.bursts.push_back({deviceDelay_, first + reply});
    }
    return turn;
}

}  // namespace vk630sim
