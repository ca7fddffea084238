// Frames reassembled across any split of the stream; junk reported and
// skipped; cut-short frames given up when the next frame begins.
#include "core/frame_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk630sim {
namespace {

LinePiece F(std::string bytes) {
    return {LinePiece::Kind::Frame, std::move(bytes)};
}
LinePiece J(std::string bytes) {
    return {LinePiece::Kind::Junk, std::move(bytes)};
}

std::vector<LinePiece> FeedInChunks(FrameSplitter& splitter, const std::string& stream,
                                    std::size_t chunk) {
    std::vector<LinePiece> all;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        for (auto& p : splitter.Feed(stream.substr(at, chunk))) all.push_back(std::move(p));
    }
    return all;
}

// Neighbouring junk pieces of one stream may come out in several pieces
// depending on where the reads split it; join them to compare.
std::vector<LinePiece> Joined(const std::vector<LinePiece>& pieces) {
    std::vector<LinePiece> joined;
    for (const auto& p : pieces) {
        if (!joined.empty() && p.kind == LinePiece::Kind::Junk &&
            joined.back().kind == LinePiece::Kind::Junk) {
            joined.back().bytes += p.bytes;
        } else {
            joined.push_back(p);
        }
    }
    return joined;
}

struct StreamCase {
    const char* name;
    std::string stream;
    std::vector<LinePiece> pieces;
};

class SplitStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(SplitStreamTest, GivesTheSamePiecesForEveryReadSize) {
    const auto& c = GetParam();
    for (std::size_t chunk = 1; chunk <= c.stream.size(); ++chunk) {
        FrameSplitter splitter;
        EXPECT_EQ(Joined(FeedInChunks(splitter, c.stream, chunk)), c.pieces)
            << "reads of " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SplitStreamTest,
    ::testing::Values(StreamCase{"every_family",
                                 "TEKVAR#JTM:10#PPPPPP#CHEACK1#999999#VAR#",
                                 {F("TEKVAR#JTM:10#"), F("PPPPPP#CHEACK1#"), F("999999#VAR#")}},
                      StreamCase{"junk_around",
                                 std::string("\x01\xff\r\nTEKVAR#ADR:001#x#y") + "PPPPPP#STATUS#\n",
                                 {J("\x01\xff\r\n"), F("TEKVAR#ADR:001#"), J("x#y"),
                                  F("PPPPPP#STATUS#"), J("\n")}},
                      StreamCase{"prefix_look_alikes",
                                 "TEKVARTEKVA#PPPPP#99999TEKVAR#IOA:20#",
                                 {J("TEKVARTEKVA#PPPPP#99999"), F("TEKVAR#IOA:20#")}},
                      StreamCase{"cut_short_write_then_query",
                                 "TEKVAR#JTPPPPPP#CHEACK1#",
                                 {J("TEKVAR#JT"), F("PPPPPP#CHEACK1#")}},
                      StreamCase{"cut_short_query_then_write",
                                 "PPPPPP#STATEKVAR#JTM:5#",
                                 {J("PPPPPP#STA"), F("TEKVAR#JTM:5#")}},
                      // A command text may end in the digits of the third prefix.
                      StreamCase{"command_ending_in_nines",
                                 "TEKVAR#COMW1:1,100199999999#999999#VAR#",
                                 {F("TEKVAR#COMW1:1,100199999999#"), F("999999#VAR#")}},
                      StreamCase{"separators_inside",
                                 "TEKVAR#ZDAD01:0,01,0,00,000001,00000#",
                                 {F("TEKVAR#ZDAD01:0,01,0,00,000001,00000#")}},
                      StreamCase{"empty_body", "PPPPPP##", {F("PPPPPP##")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameSplitter, KeepsAnUnfinishedFrameAndAPossiblePrefix) {
    FrameSplitter splitter;
    EXPECT_EQ(splitter.Feed("junkTEK"), std::vector<LinePiece>{J("junk")});
    EXPECT_EQ(splitter.Pending(), 3u);
    EXPECT_EQ(splitter.Feed("VAR#JTM:1"), std::vector<LinePiece>{});
    EXPECT_EQ(splitter.Pending(), 12u);
    EXPECT_EQ(splitter.Feed("0#99"), std::vector<LinePiece>{F("TEKVAR#JTM:10#")});
    EXPECT_EQ(splitter.Pending(), 2u);  // "99" may begin "999999#"
    EXPECT_EQ(splitter.Feed("x"), std::vector<LinePiece>{J("99x")});
    EXPECT_EQ(splitter.Pending(), 0u);
}

TEST(FrameSplitter, GivesUpAFrameThatGrowsPastTheLimit) {
    FrameSplitter splitter(20);
    EXPECT_EQ(splitter.Feed("TEKVAR#" + std::string(10, 'A')), std::vector<LinePiece>{});
    EXPECT_EQ(splitter.Feed(std::string(10, 'A')),
              std::vector<LinePiece>{J("TEKVAR#" + std::string(20, 'A'))});
    EXPECT_EQ(splitter.Pending(), 0u);
    EXPECT_EQ(splitter.Feed("AAA#PPPPPP#STATUS#"),
              (std::vector<LinePiece>{J("AAA#"), F("PPPPPP#STATUS#")}));
}

TEST(FrameSplitter, PassesEveryByteValueThroughAFrame) {
    std::string body;
    for (int c = 0; c < 256; ++c) {
        if (c != '#') body.push_back(static_cast<char>(c));
    }
    FrameSplitter splitter;
    EXPECT_EQ(splitter.Feed("TEKVAR#" + body + "#"),
              std::vector<LinePiece>{F("TEKVAR#" + body + "#")});
}

}  // namespace
}  // namespace vk630sim
