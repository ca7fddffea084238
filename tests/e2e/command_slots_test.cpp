// The two command slots against the simulated transmitter: what "Set"
// stores, the upper and lower "Query" bring back into the window, and the
// other slot keeps its own.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "console_on_sim.h"

namespace e2e {
namespace {

struct Slot {
    const char* name;
    const char* enable;
    const char* command;
    const char* textQuery;
    const char* textSet;
    const char* parseBytes[3];
    const char* parseQuery;
    const char* parseSet;
    const char* otherTextQuery;
    const char* otherEnable;
    const char* otherCommand;
    // Replies and frames of this slot, and the other slot's untouched reply.
    const char* refusedSetReply;
    const char* setFrame;
    const char* parseSetFrame;
    const char* textReply;
    const char* parseReply;
    const char* otherTextReply;
};

void PrintTo(const Slot& row, std::ostream* out) {
    *out << row.name;
}

const Slot kSlots[] = {
    {"Command1",
     "COMAD1",
     "COMDDATA1",
     "Button76",
     "Button73",
     {"ACOMBY1", "ACOMBY2", "ACOMBY3"},
     "Button74",
     "Button75",
     "Button81",
     "COMAD2",
     "COMDDATA2",
     "ERR:COMW1 enable value",
     "TEKVAR#COMW1:1,080A0B0C0D#",
     "TEKVAR#COMP01:AB12CD#",
     "COMR1:1,04,0A0B0C0D",
     "COMP01:AB12CD",
     "COMR2:0,08,0103000000044409"},
    {"Command2",
     "COMAD2",
     "COMDDATA2",
     "Button81",
     "Button3",
     {"BCOMBY1", "BCOMBY2", "BCOMBY3"},
     "Button79",
     "Button80",
     "Button76",
     "COMAD1",
     "COMDDATA1",
     "ERR:COMW2 enable value",
     "TEKVAR#COMW2:1,080A0B0C0D#",
     "TEKVAR#COMP02:AB12CD#",
     "COMR2:1,04,0A0B0C0D",
     "COMP02:AB12CD",
     "COMR1:0,08,0103000000044409"},
};

class CommandSlot : public ConsoleOnSim, public ::testing::WithParamInterface<Slot> {};

TEST_P(CommandSlot, SetIsStoredAndQueryBringsItBack) {
    const Slot& s = GetParam();
    const auto parse = s.parseBytes;

    // The enable box starts with no item: the device refuses the -1.
    EXPECT_EQ(Exchange(s.textSet), s.refusedSetReply);

    ASSERT_NO_FATAL_FAILURE(Apply({{s.enable, "Open"}, {s.command, "0A0B0C0D"}}));
    EXPECT_EQ(Exchange(s.textSet), "OK");
    EXPECT_EQ(ui().discomm->text(), s.setFrame);

    // The device answers a parse-byte write with what it stored.
    ASSERT_NO_FATAL_FAILURE(Apply({{parse[0], "AB"}, {parse[1], "12"}, {parse[2], "CD"}}));
    EXPECT_EQ(Exchange(s.parseSet), s.parseReply);
    EXPECT_EQ(ui().discomm->text(), s.parseSetFrame);

    // Other texts in the window, so that the queries must bring the stored ones back.
    ASSERT_NO_FATAL_FAILURE(Apply({{s.enable, "Close"}, {s.command, ""}}));
    ASSERT_NO_FATAL_FAILURE(Apply({{parse[0], "00"}, {parse[1], "00"}, {parse[2], "00"}}));

    EXPECT_EQ(Exchange(s.textQuery), s.textReply);
    EXPECT_EQ(IndexOf(s.enable), 1);
    EXPECT_EQ(TextOf(s.command), "0A0B0C0D");

    EXPECT_EQ(Exchange(s.parseQuery), s.parseReply);
    EXPECT_EQ(TextOf(parse[0]), "AB");
    EXPECT_EQ(TextOf(parse[1]), "12");
    EXPECT_EQ(TextOf(parse[2]), "CD");

    EXPECT_EQ(Exchange(s.otherTextQuery), s.otherTextReply);
    EXPECT_EQ(IndexOf(s.otherEnable), 0);
    EXPECT_EQ(TextOf(s.otherCommand), "0103000000044409");
    EXPECT_TRUE(boxes_.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Device, CommandSlot, ::testing::ValuesIn(kSlots),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
