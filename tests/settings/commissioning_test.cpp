#include "settings/commissioning.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogue/reply_decoding.h"

namespace settings {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The file of the example unit: every choice made, so every group is sent.
Fields Unit() {
    Fields fields = WindowDefaults();
    for (const char* control : {"MAD1USE", "MAD2USE", "MAD3USE"}) fields.indices[control] = 1;
    fields.indices["COMAD1"] = 1;
    fields.indices["COMAD2"] = 0;
    fields.indices["MAD3XIN"] = 22;
    return fields;
}

class RecordingHost : public CommissioningHost {
public:
    void Send(const Step& step) override { sent.push_back(step.frame); }
    void StartReplyTimeout() override { timing = true; }
    void StopReplyTimeout() override { timing = false; }
    void Progress(const std::string& text) override { progress.push_back(text); }

    std::vector<std::string> sent;
    std::vector<std::string> progress;
    bool timing = false;
};

dialogue::DecodeOutcome Reporting(const Fields& fields) {
    return {ToUpdates(fields), std::nullopt};
}

TEST(WriteSteps, SendsEveryGroupInTheWindowsOrderWithTheButtonsFrames) {
    std::vector<std::string> skipped;
    std::vector<std::string> frames;
    std::vector<std::int32_t> kinds;
    for (const Step& step : WriteSteps(Unit(), skipped)) {
        frames.push_back(step.frame);
        kinds.push_back(step.kind.value());
    }
    EXPECT_THAT(frames,
                ElementsAre("TEKVAR#RS485A:3,0#", "TEKVAR#JTM:10#", "TEKVAR#ADR:001#",
                            "TEKVAR#ZDAD01:1,01,0,00,000001,00000#",
                            "TEKVAR#ZDAD02:1,01,0,00,000001,00000#",
                            "TEKVAR#ZDAD03:1,01,0,22,000001,00000#", "TEKVAR#DOTA1:0.000,100.0#",
                            "TEKVAR#DOTA2:0.000,100.0#", "TEKVAR#DOTA3:0.000,100.0#",
                            "TEKVAR#COMW1:1,160103000000044409#", "TEKVAR#COMP01:010300#",
                            "TEKVAR#COMW2:0,160103000000044409#", "TEKVAR#COMP02:010300#"));
    // Acknowledgements are shown only; the slots' own kinds as their buttons set them.
    EXPECT_THAT(kinds,
                ElementsAre(100, 100, 100, 100, 100, 100, 100, 100, 100, 106, 1502, 106, 1502));
    EXPECT_THAT(skipped, IsEmpty());
}

TEST(WriteSteps, LeavesOutAndNamesGroupsThatCannotBeSentFromAFile) {
    Fields fields = Unit();
    fields.indices["MR485JN"] = -1;
    fields.indices["MAD2XIN"] = -1;
    fields.texts["COMDDATA2"] = "010";
    std::vector<std::string> skipped;
    std::vector<std::string> groups;
    for (const Step& step : WriteSteps(fields, skipped)) groups.push_back(step.group);
    EXPECT_THAT(skipped, ElementsAre("device line not sent: device.parity has no item chosen",
                                     "polling 2 not sent: polling[1].format has no item chosen",
                                     "command 2 not sent: commandSlots[1].command: Input data "
                                     "must be even-numbered"));
    EXPECT_EQ(groups.size(), 10u);
    // What is not sent is not compared either.
    const Fields sent = SentPart(fields);
    EXPECT_FALSE(sent.texts.contains("MAD2XS"));
    EXPECT_FALSE(sent.texts.contains("COMDDATA2"));
    EXPECT_TRUE(sent.texts.contains("BCOMBY1"));
    EXPECT_EQ(CountHeld(sent), 38u - 2 - 6 - 2);
}

TEST(Compare, NumbersByValueTextsAndChoicesExactly) {
    Fields written = Unit();
    Fields device = written;
    device.texts["JTME"] = "010";      // "10" written
    device.texts["DAO1L"] = "100";     // "100.0" written
    device.texts["MAD1XS"] = "+1";     // "000001" written
    device.texts["DAO2H"] = "0.001";   // "0.000" written
    device.texts["ACOMBY1"] = "1";     // text "01" written
    device.texts["MAD1MADR"] = "0x1";  // no number: compared as text
    device.indices["MAD3XIN"] = -1;    // index beyond the list
    device.texts.erase("COMDDATA1");   // never reported
    written.indices["COMAD2"] = -1;    // not held, so not compared
    device.indices["COMAD2"] = 1;
    std::vector<std::string> lines;
    for (const Difference& d : Compare(written, device))
        lines.push_back(d.path + " " + d.written + " " + d.readBack);
    EXPECT_THAT(lines, ElementsAre("outputs[1].at4mA 0.000 0.001", "polling[0].start 01 0x1",
                                   "polling[2].format 22 String-to-float (none)",
                                   "commandSlots[0].command 0103000000044409 (not reported)",
                                   "commandSlots[0].parse[0] 01 1"));
}

TEST(Apply, DecodedRepliesLandAsInTheWindow) {
    Fields fields;
    Apply(fields, dialogue::DecodeParameters("BOAT:5,2 JTM:000 ADR:123"));
    EXPECT_EQ(fields.indices.at("MR485BT"), -1);  // 5 is beyond the list: nothing chosen
    EXPECT_EQ(fields.indices.at("MR485JN"), 2);
    EXPECT_EQ(fields.texts.at("JTME"), "000");
    EXPECT_EQ(fields.texts.at("ADRM"), "123");
    EXPECT_EQ(fields.texts.size(), 2u);  // group visibility and captions are no settings
    EXPECT_THAT(
        ToUpdates(fields),
        ElementsAre(dialogue::IndexUpdate("MR485BT", -1), dialogue::IndexUpdate("MR485JN", 2),
                    dialogue::TextUpdate("JTME", "000"), dialogue::TextUpdate("ADRM", "123")));
}

TEST(Commissioning, SendsEachFrameAfterTheReplyAndStopsAtTheFirstFailure) {
    struct Case {
        const char* what;
        int repliesBeforeFailure;
        void (*fail)(Commissioning&);
        Outcome outcome;
        std::size_t sent;
        const char* summary;
    };
    const Case cases[] = {
        {"no reply", 3, [](Commissioning& run) { run.TimedOut(); }, Outcome::NoReply, 4,
         "3 of 18 frames were answered; the last was address; polling 1 got no answer."},
        {"hang-up", 14, [](Commissioning& run) { run.HungUp(); }, Outcome::HungUp, 15,
         "14 of 18 frames were answered; the last was parameters; command 1 got no answer."},
        {"cancel", 0, [](Commissioning& run) { run.Cancel(); }, Outcome::Running, 1,
         "1 of 18 frames were answered; the last was device line."},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        Commissioning run(host, Unit(), true, true);
        run.Start();
        for (int i = 0; i < c.repliesBeforeFailure; ++i) run.ReplyDecoded();
        c.fail(run);
        EXPECT_EQ(run.outcome(), c.outcome) << c.what;
        run.ReplyDecoded();  // late, or the one a cancel waits for
        run.TimedOut();
        EXPECT_EQ(host.sent.size(), c.sent) << c.what;
        EXPECT_FALSE(host.timing) << c.what;
        EXPECT_NE(run.outcome(), Outcome::Running) << c.what;
        EXPECT_EQ(run.Summary(), c.summary);
        run.Start();  // a run is started once
        EXPECT_EQ(host.sent.size(), c.sent) << c.what;
    }
}

TEST(Commissioning, WritesReadsBackAndComparesWhatTheFileHolds) {
    RecordingHost host;
    Fields device = Unit();
    device.texts["ADRM"] = "017";
    Commissioning run(host, Unit(), true, true);
    run.Start();
    while (run.outcome() == Outcome::Running) {
        run.Decoded(Reporting(device));
        run.ReplyDecoded();
    }
    ASSERT_EQ(host.sent.size(), 18u);
    EXPECT_EQ(host.sent[13], "PPPPPP#CHEACK1#");
    EXPECT_EQ(host.sent[17], "PPPPPP#COMP02#");
    EXPECT_EQ(host.progress[3], "Writing 4 of 13: polling 1");
    EXPECT_EQ(host.progress[14], "Reading back 2 of 5: command 1");
    EXPECT_EQ(run.outcome(), Outcome::Differences);
    ASSERT_EQ(run.differences().size(), 1u);
    EXPECT_EQ(run.differences()[0].path, "device.address");
    EXPECT_EQ(run.checked(), 38u);

    RecordingHost verifyOnly;
    Commissioning verify(verifyOnly, Unit(), false, true);
    verify.Start();
    while (verify.outcome() == Outcome::Running) {
        verify.Decoded(Reporting(Unit()));
        verify.ReplyDecoded();
    }
    EXPECT_EQ(verifyOnly.sent.size(), 5u);
    EXPECT_EQ(verify.outcome(), Outcome::Verified);
}

// A device whose slot queries carry nothing: what its write replies decoded
// into is an acknowledgement, and no slot setting counts as read back.
TEST(Commissioning, OnlyTheReadBacksRepliesReportSettings) {
    Fields parameters = Unit();
    std::erase_if(parameters.texts,
                  [](const auto& text) { return text.first.find("COM") != std::string::npos; });
    std::erase_if(parameters.indices,
                  [](const auto& index) { return index.first.starts_with("COMAD"); });
    RecordingHost host;
    Commissioning run(host, Unit(), true, true);
    run.Start();
    for (std::size_t reply = 0; run.outcome() == Outcome::Running; ++reply) {
        run.Decoded(reply < 13    ? Reporting(Unit())
                    : reply == 13 ? Reporting(parameters)
                                  : Reporting({}));
        run.ReplyDecoded();
    }
    EXPECT_EQ(run.outcome(), Outcome::Differences);
    EXPECT_THAT(run.differences(),
                ::testing::Each(::testing::Field(&Difference::readBack, "(not reported)")));
    EXPECT_EQ(run.differences().size(), 10u);
    EXPECT_EQ(run.reported(), parameters);
}

}  // namespace
}  // namespace settings
