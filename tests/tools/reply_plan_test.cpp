// The fault modes as planned bursts: what goes on the line, after which
// pause, and when the line is closed.
#include "core/reply_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vk630sim {
namespace {

using std::chrono::milliseconds;

const std::string kReply = "VK630-E V1.0 SIM\r\n";

TEST(ReplyPlanner, AnswersAfterTheDeviceDelay) {
    ReplyPlanner planner({}, milliseconds(20));
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(planner.Plan(kReply), (Turn{{{milliseconds(20), kReply}}, false}));
    }
}

TEST(ReplyPlanner, SplitsEachReplyIntoTwoBurstsWithThePauseBetween) {
    FaultOptions faults;
    faults.splitReply = milliseconds(400);
    ReplyPlanner planner(faults, milliseconds(20));
    Turn turn = planner.Plan(kReply);
    ASSERT_EQ(turn.bursts.size(), 2u);
    EXPECT_EQ(turn.bursts[0].pauseBefore, milliseconds(20));
    EXPECT_EQ(turn.bursts[1].pauseBefore, milliseconds(400));
    EXPECT_FALSE(turn.bursts[0].bytes.empty());
    EXPECT_FALSE(turn.bursts[1].bytes.empty());
    EXPECT_EQ(turn.bursts[0].bytes + turn.bursts[1].bytes, kReply);
}

TEST(ReplyPlanner, SendsJunkWithoutNulOrColonBeforeEveryReply) {
    FaultOptions faults;
    faults.garbageBytes = 500;
    faults.splitReply = milliseconds(50);
    ReplyPlanner planner(faults, milliseconds(0));
    std::string previousJunk;
    for (int frame = 0; frame < 2; ++frame) {
        Turn turn = planner.Plan(kReply);
        ASSERT_EQ(turn.bursts.size(), 2u);
        std::string line = turn.bursts[0].bytes + turn.bursts[1].bytes;
        ASSERT_EQ(line.size(), 500 + kReply.size());
        EXPECT_TRUE(line.ends_with(kReply));
        std::string junk = line.substr(0, 500);
        EXPECT_EQ(junk.find('\0'), std::string::npos);
        EXPECT_EQ(junk.find(':'), std::string::npos);
        EXPECT_NE(junk, previousJunk);
        previousJunk = junk;
    }
}

TEST(ReplyPlanner, SilentAnswersNothingAndStillCountsTowardsTheHangUp) {
    FaultOptions faults;
    faults.silent = true;
    faults.hangupAfter = 2;
    ReplyPlanner planner(faults, milliseconds(20));
    EXPECT_EQ(planner.Plan(kReply), (Turn{{}, false}));
    EXPECT_EQ(planner.Plan(kReply), (Turn{{}, true}));
}

TEST(ReplyPlanner, HangsUpAfterTheNthFrameOnceItIsAnswered) {
    FaultOptions faults;
    faults.hangupAfter = 3;
    ReplyPlanner planner(faults, milliseconds(5));
    EXPECT_FALSE(planner.Plan(kReply).hangUp);
    EXPECT_FALSE(planner.Plan(kReply).hangUp);
    Turn third = planner.Plan(kReply);
    EXPECT_TRUE(third.hangUp);
    EXPECT_EQ(third.bursts, (std::vector<Burst>{{milliseconds(5), kReply}}));
}

}  // namespace
}  // namespace vk630sim
