// The exchange cycle without a window: a host that records every step, with a
// decode timer that is merely a flag, so the rules of the cycle can be
// checked call by call.
#include "dialogue/exchange_cycle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/frames.h"
#include "dialogue/reply_decoding.h"

namespace {

using dialogue::DecodeOutcome;
using dialogue::ExchangeCycle;
using dialogue::ExchangeHost;
using namespace std::string_literals;

bool SameOutcome(const DecodeOutcome& a, const DecodeOutcome& b) {
    return a.updates == b.updates && a.error == b.error;
}

class RecordingHost : public ExchangeHost {
public:
    void SetSendLine(const std::string& frame) override { steps.push_back("line " + frame); }
    void ClearReceiveBox() override { steps.push_back("clear"); }
    void ShowReceived(std::string_view text) override {
        shown = std::string(text);
        steps.push_back("show " + shown);
    }
    bool SendBytes(const std::string& frame) override {
        steps.push_back("send " + frame);
        return portOpen;
    }
    bool DecodeTimerEnabled() const override { return timerEnabled; }
    void EnableDecodeTimer() override {
        ++enablings;
        timerEnabled = true;
        steps.push_back("enable");
    }
    void DisableDecodeTimer() override {
        timerEnabled = false;
        steps.push_back("disable");
    }
    // As the window does: the updates first, then the decoder's error.
    void ApplyUpdates(const DecodeOutcome& outcome) override {
        steps.push_back("apply");
        applied.push_back(outcome);
        if (outcome.error) throw std::runtime_error(*outcome.error);
    }

    bool portOpen = true;
    bool timerEnabled = false;
    int enablings = 0;
    std::string shown;
    std::vector<std::string> steps;
    std::vector<DecodeOutcome> applied;
};

class ExchangeCycleTest : public ::testing::Test {
protected:
    void Receive(const std::string& chunk) {
        cycle.Receive(chunk.data(), static_cast<std::uint16_t>(chunk.size()));
    }

    RecordingHost host;
    ExchangeCycle cycle{host};
};

TEST_F(ExchangeCycleTest, StartsWithNothingExpected) {
    EXPECT_EQ(cycle.ReplyKind, 0);
    EXPECT_EQ(cycle.ReplyText, "");
}

TEST_F(ExchangeCycleTest, SendShowsFrameEmptiesReceiveBoxThenSends) {
    cycle.Send("PPPPPP#CHEACK1#", dialogue::KindParameters);
    EXPECT_EQ(host.steps,
              (std::vector<std::string>{"line PPPPPP#CHEACK1#", "clear", "send PPPPPP#CHEACK1#"}));
    EXPECT_EQ(cycle.ReplyKind, dialogue::KindParameters);
}

TEST_F(ExchangeCycleTest, SendWithoutKindLeavesTheEarlierOne) {
    cycle.ReplyKind = dialogue::KindCommandText;
    cycle.Send("TEKVAR#JTM:10#", std::nullopt);
    EXPECT_EQ(cycle.ReplyKind, dialogue::KindCommandText);
}

// A closed port refuses the bytes; the operator still sees the frame and the
// command still sets what its reply will be taken for.
TEST_F(ExchangeCycleTest, RefusedSendStillSetsTheKind) {
    host.portOpen = false;
    cycle.Send("999999#VAR#", dialogue::KindDisplayOnly);
    EXPECT_EQ(host.steps.front(), "line 999999#VAR#");
    EXPECT_EQ(cycle.ReplyKind, dialogue::KindDisplayOnly);
}

struct ReceiveCase {
    const char* name;
    std::int32_t kind;
    std::string chunk;
    std::string shown;
    bool keptAndTimed;  // ReplyText := chunk and the timer enabled
};

class ReceiveStep : public ExchangeCycleTest, public ::testing::WithParamInterface<ReceiveCase> {};

std::string AllByteValues() {
    std::string bytes;
    for (int b = 255; b >= 0; --b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

const ReceiveCase kReceiveCases[] = {
    {"BeforeAnyCommand", 0, "BOAT:3,0", "BOAT:3,0", true},
    {"DisplayOnly", dialogue::KindDisplayOnly, "STATUS:4.00", "STATUS:4.00", false},
    {"Parameters", dialogue::KindParameters, "ADR:123", "ADR:123", true},
    {"CommandWrite", dialogue::KindCommandWrite, "OK", "OK", true},
    {"CommandText", dialogue::KindCommandText, "COMR1:1,00,", "COMR1:1,00,", true},
    {"CommandParse", dialogue::KindCommandParse, "COMP01:010300", "COMP01:010300", true},
    {"NulInside", dialogue::KindParameters,
     "ADR:1\0"
     "23"s,
     "ADR:1", true},
    {"NulFirst", dialogue::KindParameters, "\0ADR:123"s, "", true},
    {"DisplayOnlyWithNul", dialogue::KindDisplayOnly, "AB\0CD"s, "AB", false},
    {"LineBreaksKept", dialogue::KindParameters, "A\r\nB\rC\n", "A\r\nB\rC\n", true},
    // Counting down from 255 puts the NUL last, so every other value shows.
    {"EveryByteValue", dialogue::KindParameters, AllByteValues(), AllByteValues().substr(0, 255),
     true},
    // Longer than the 1001 bytes the receive step was once limited to.
    {"LongChunkKeptWhole", dialogue::KindParameters, std::string(2000, 'x') + "ADR:777",
     std::string(2000, 'x') + "ADR:777", true},
};

TEST_P(ReceiveStep, ShowsAndKeepsAsTheKindSays) {
    const ReceiveCase& c = GetParam();
    cycle.ReplyKind = c.kind;
    cycle.ReplyText = "earlier";
    Receive(c.chunk);
    EXPECT_EQ(host.shown, c.shown);
    EXPECT_EQ(cycle.ReplyText, c.keptAndTimed ? c.chunk : "earlier");
    EXPECT_EQ(host.timerEnabled, c.keptAndTimed);
    EXPECT_EQ(host.applied.size(), 0u) << "nothing is decoded before the tick";
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReceiveStep, ::testing::ValuesIn(kReceiveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeCycleTest, EmptyChunkIsShownAndKept) {
    cycle.ReplyKind = dialogue::KindParameters;
    cycle.ReplyText = "earlier";
    cycle.Receive(nullptr, 0);
    EXPECT_EQ(cycle.ReplyText, "");
    EXPECT_EQ(host.steps, (std::vector<std::string>{"show ", "enable"}));
}

// A decode already pending keeps its first schedule: the second chunk
// replaces the text but must not enable the timer again (enabling a running
// Qt timer restarts it).
TEST_F(ExchangeCycleTest, TwoChunksBeforeOneTickDecodeTheSecondOnce) {
    cycle.ReplyKind = dialogue::KindParameters;
    Receive("ADR:111");
    Receive("ADR:222");
    EXPECT_EQ(host.enablings, 1);
    EXPECT_EQ(host.shown, "ADR:222");
    cycle.Tick();
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_TRUE(SameOutcome(host.applied[0], dialogue::DecodeParameters("ADR:222")));
}

TEST_F(ExchangeCycleTest, ChunkAfterTheTickStartsANewCycle) {
    cycle.ReplyKind = dialogue::KindParameters;
    Receive("ADR:111");
    cycle.Tick();
    Receive("ADR:222");
    EXPECT_EQ(host.enablings, 2);
    EXPECT_TRUE(host.timerEnabled);
}

TEST_F(ExchangeCycleTest, DisplayOnlyReplyNeverArmsTheTimer) {
    cycle.ReplyKind = dialogue::KindDisplayOnly;
    for (int i = 0; i < 3; ++i) Receive("STATUS");
    EXPECT_EQ(host.enablings, 0);
}

// One text holding a block of each decoder's key, so the three decoders
// give three different results and the one applied tells which ran.
const std::string kMixedReply = "ADR:123 COMR1:1,02,ABCD COMP01:0A0B0C";

struct DispatchCase {
    const char* name;
    std::int32_t kindAtTick;
    DecodeOutcome (*decoder)(std::string_view);  // null: nothing decoded
};

class DecodeStep : public ExchangeCycleTest, public ::testing::WithParamInterface<DispatchCase> {};

const DispatchCase kDispatchCases[] = {
    {"None", dialogue::KindNone, nullptr},
    {"DisplayOnly", dialogue::KindDisplayOnly, nullptr},
    {"CommandWrite", dialogue::KindCommandWrite, nullptr},
    {"Unknown", 4242, nullptr},
    {"Parameters", dialogue::KindParameters, dialogue::DecodeParameters},
    {"CommandText", dialogue::KindCommandText, dialogue::DecodeCommandText},
    {"CommandParse", dialogue::KindCommandParse, dialogue::DecodeCommandParse},
};

TEST(DecodeStepPrecondition, MixedReplyTellsTheDecodersApart) {
    const DecodeOutcome parameters = dialogue::DecodeParameters(kMixedReply);
    const DecodeOutcome text = dialogue::DecodeCommandText(kMixedReply);
    const DecodeOutcome parse = dialogue::DecodeCommandParse(kMixedReply);
    for (const DecodeOutcome* o : {&parameters, &text, &parse}) EXPECT_FALSE(o->updates.empty());
    EXPECT_FALSE(SameOutcome(parameters, text));
    EXPECT_FALSE(SameOutcome(text, parse));
    EXPECT_FALSE(SameOutcome(parameters, parse));
}

// The chunk came while the cycle expected one kind; a command clicked before
// the tick changed it. The tick goes by the kind held then.
TEST_P(DecodeStep, DispatchesOnTheKindHeldAtTheTick) {
    const DispatchCase& c = GetParam();
    cycle.ReplyKind = dialogue::KindCommandWrite;
    Receive(kMixedReply);
    cycle.ReplyKind = c.kindAtTick;
    host.steps.clear();
    cycle.Tick();
    if (c.decoder == nullptr) {
        EXPECT_EQ(host.steps, std::vector<std::string>{"disable"});
    } else {
        EXPECT_EQ(host.steps, (std::vector<std::string>{"disable", "apply"}));
        ASSERT_EQ(host.applied.size(), 1u);
        EXPECT_TRUE(SameOutcome(host.applied[0], c.decoder(kMixedReply)));
    }
    EXPECT_FALSE(host.timerEnabled);
    EXPECT_EQ(cycle.ReplyKind, c.kindAtTick) << "the decode step never resets the kind";
}

INSTANTIATE_TEST_SUITE_P(Kinds, DecodeStep, ::testing::ValuesIn(kDispatchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeCycleTest, DecodeSeesTheTextUpToTheFirstNul) {
    cycle.ReplyKind = dialogue::KindParameters;
    Receive("JTM:000\0ADR:999"s);
    cycle.Tick();
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_TRUE(SameOutcome(host.applied[0], dialogue::DecodeParameters("JTM:000")));
    EXPECT_EQ(cycle.ReplyText, "JTM:000\0ADR:999"s) << "the kept chunk itself is not cut";
}

TEST_F(ExchangeCycleTest, KeyBeyondTheFirstThousandBytesIsDecoded) {
    cycle.ReplyKind = dialogue::KindParameters;
    Receive(std::string(1500, ' ') + "ADR:321");
    cycle.Tick();
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_TRUE(SameOutcome(host.applied[0], dialogue::DecodeParameters("ADR:321")));
}

// A failed conversion ends the step with the error; the timer stays off, so
// nothing decodes again until the next chunk, and the state is untouched.
TEST_F(ExchangeCycleTest, DecoderErrorLeavesTimerOffAndStateAsItWas) {
    cycle.ReplyKind = dialogue::KindParameters;
    Receive("BOAT:x,0");
    EXPECT_THROW(cycle.Tick(), std::runtime_error);
    EXPECT_FALSE(host.timerEnabled);
    EXPECT_EQ(cycle.ReplyKind, dialogue::KindParameters);
    EXPECT_EQ(cycle.ReplyText, "BOAT:x,0");
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied[0].error, "'x' is not a valid integer value");
}

}  // namespace
