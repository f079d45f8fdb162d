// The reader of the score notation: what it builds, and that it refuses
// every malformed text loudly instead of building a short song.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "song/scoreData.h"

namespace {

TEST(ScoreData, ReadsEveryFormOfTheNotation)
{
    const scoredata::Score s = scoredata::parse(
        "# a comment\n"
        "block 3: 0..9\n"
        "0..5: 50/0, [10/0.5, 20/0.25] \xC3\x97" "2, 7/0.1\n"
        "6: 0/0\n"
        "7 = (0..2, 3 \xC3\x97" "2, [4, [5, 6] x2] x2) \xE2\x80\x94 99 ms\n"
        "8 = (7,\n"
        "     7)\n"
        "9..9: not defined\n"
        "track 3 = (8, 7 x3) -- 5 ms\n"
        "block 5: 10..10\n"
        "10: 1/0.3\n"
        "track 5 = (10)\n");
    ASSERT_EQ(s.blocks.size(), 2u);
    const scoredata::Block& b = s.blocks[0];
    EXPECT_EQ(b.trackId, 3);
    EXPECT_EQ(b.firstEvent, 0);
    EXPECT_EQ(b.lastEvent, 9);
    ASSERT_EQ(b.definitions.size(), 9u);
    const int lengths[] = {50, 10, 20, 10, 20, 7, 0};
    const float values[] = {0.0f, 0.5f, 0.25f, 0.5f, 0.25f, 0.1f, 0.0f};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(b.definitions[i].event, i);
        EXPECT_TRUE(b.definitions[i].leaf);
        EXPECT_EQ(b.definitions[i].durationMs, lengths[i]);
        EXPECT_EQ(b.definitions[i].value, values[i]);
    }
    EXPECT_EQ(b.definitions[7].children, (std::vector<int>{0, 1, 2, 3, 3, 4, 5, 6, 5, 6, 4, 5, 6, 5, 6}));
    EXPECT_EQ(b.definitions[8].children, (std::vector<int>{7, 7}));   // continued line
    EXPECT_EQ(b.undefinedEvents, std::vector<int>{9});
    EXPECT_EQ(b.trackChildren, (std::vector<int>{8, 7, 7, 7}));
    ASSERT_EQ(s.checks.size(), 2u);
    EXPECT_EQ(s.checks[0].event, 7);
    EXPECT_EQ(s.checks[0].durationMs, 99);
    EXPECT_EQ(s.checks[1].event, -1);
    EXPECT_EQ(s.checks[1].trackId, 3);
    EXPECT_EQ(s.checks[1].durationMs, 5);
}

struct Malformed {
    const char* what;
    std::string text;
    const char* message;   // a part of the error's text
};

class MalformedScore : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedScore, FailsLoudly)
{
    const Malformed& m = GetParam();
    try {
        scoredata::parse(m.text);
        ADD_FAILURE() << m.what << ": no error";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find(m.message), std::string::npos) << m.what << ": " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MalformedScore,
    ::testing::Values(
        Malformed{"empty", "", "no block"},
        Malformed{"too few leaves", "block 0: 0..2\n0..2: 5/0, 5/0\ntrack 0 = (0)\n", "need 3 leaves"},
        Malformed{"too many leaves", "block 0: 0..1\n0..1: 5/0 x3\ntrack 0 = (0)\n", "need 2 leaves"},
        Malformed{"event missing", "block 0: 0..2\n0..1: 5/0, 5/0\ntrack 0 = (0)\n", "score event 2"},
        Malformed{"defined twice", "block 0: 0..0\n0: 5/0\n0: 6/0\ntrack 0 = (0)\n", "defined twice"},
        Malformed{"outside the block", "block 0: 0..0\n0: 5/0\n1: 5/0\ntrack 0 = (0)\n", "outside the block"},
        Malformed{"child outside", "block 0: 0..1\n0: 5/0\n1 = (0, 4)\ntrack 0 = (1)\n", "child 4"},
        Malformed{"undefined child", "block 0: 0..1\n0: not defined\n1 = (0)\ntrack 0 = (1)\n", "not defined"},
        Malformed{"cycle", "block 0: 0..2\n0: 5/0\n1 = (0, 2)\n2 = (1)\ntrack 0 = (2)\n", "contains itself"},
        Malformed{"self child", "block 0: 0..1\n0: 5/0\n1 = (0, 1)\ntrack 0 = (1)\n", "contains itself"},
        Malformed{"no track", "block 0: 0..0\n0: 5/0\n", "no track statement"},
        Malformed{"track of another block", "block 0: 0..0\n0: 5/0\ntrack 1 = (0)\n", "track 1 in the block"},
        Malformed{"definition after the track", "block 0: 0..1\n0: 5/0\ntrack 0 = (0)\n1: 5/0\n",
                  "after the track"},
        Malformed{"gap between blocks", "block 0: 0..0\n0: 5/0\ntrack 0 = (0)\nblock 1: 2..2\n2: 5/0\ntrack 1 = (2)\n",
                  "follow one another"},
        Malformed{"descending ids", "block 2: 0..0\n0: 5/0\ntrack 2 = (0)\nblock 1: 1..1\n1: 5/0\ntrack 1 = (1)\n",
                  "ascending id"},
        Malformed{"bad value", "block 0: 0..0\n0: 5/zero\ntrack 0 = (0)\n", "expected a value"},
        Malformed{"two points", "block 0: 0..0\n0: 5/0.5.5\ntrack 0 = (0)\n", "expected a value"},
        Malformed{"negative length", "block 0: 0..0\n0: -5/0\ntrack 0 = (0)\n", "expected a number"},
        Malformed{"repeat of zero", "block 0: 0..1\n0: 5/0\n1 = (0 x0)\ntrack 0 = (1)\n", "at least 1"},
        Malformed{"unclosed bracket", "block 0: 0..1\n0: 5/0\n1 = ([0, 0)\ntrack 0 = (1)\n", "expected \"]\""},
        Malformed{"unclosed parenthesis", "block 0: 0..1\n0: 5/0\n1 = (0\ntrack 0 = (1)\n", "expected \")\""},
        Malformed{"bad check", "block 0: 0..1\n0: 5/0\n1 = (0) -- five ms\ntrack 0 = (1)\n", "expected a number"},
        Malformed{"trailing text", "block 0: 0..1\n0: 5/0\n1 = (0) extra\ntrack 0 = (1)\n", "unexpected text"},
        Malformed{"descending range", "block 0: 0..2\n0..1: 5/0 x2\n2 = (1..0)\ntrack 0 = (2)\n", "ascend"},
        Malformed{"unknown statement", "block 0: 0..0\n0: 5/0\nplay 0\ntrack 0 = (0)\n", "expected a number"},
        // A few bytes must not make the reader ask for gigabytes.
        Malformed{"nested leaf repeats", "block 0: 0..0\n0: [[1/1 x99999999] x99999999]\ntrack 0 = (0)\n",
                  "expands to more than"},
        Malformed{"one huge leaf repeat", "block 0: 0..0\n0: 1/1 x99999999\ntrack 0 = (0)\n", "expands to more than"},
        Malformed{"nested child repeats", "block 0: 0..1\n0: 5/0\n1 = ([[0 x99999999] x99999999])\ntrack 0 = (1)\n",
                  "expands to more than"},
        Malformed{"huge child range", "block 0: 0..1\n0: 5/0\n1 = (0..99999999)\ntrack 0 = (1)\n",
                  "expands to more than"},
        Malformed{"deeply nested leaves", "block 0: 0..0\n0: " + std::string(100000, '[') + "1/1\ntrack 0 = (0)\n",
                  "nest deeper"},
        Malformed{"deeply nested children", "block 0: 0..1\n0: 5/0\n1 = (" + std::string(100000, '[') + "0)\ntrack 0 = (1)\n",
                  "nest deeper"},
        Malformed{"huge block", "block 0: 0..99999999\n0: 5/0\ntrack 0 = (0)\n", "expands to more than"}));

TEST(ScoreData, TheSongReadsWhole)
{
    const scoredata::Score& s = scoredata::song();
    ASSERT_EQ(s.blocks.size(), 28u);
    EXPECT_EQ(s.blocks.front().firstEvent, 0);
    EXPECT_EQ(s.blocks.back().lastEvent, 1317);
    int defined = 0;
    for (const scoredata::Block& b : s.blocks)
        defined += static_cast<int>(b.definitions.size());
    EXPECT_EQ(defined, 1315);
    EXPECT_EQ(s.blocks[4].undefinedEvents, (std::vector<int>{123, 124, 125}));
}

TEST(ScoreData, LeftOutRestsStayOutOfTheirTracks)
{
    // 357 and 912 are defined but held by no composite or track.
    for (int held : {357, 912}) {
        bool found = false;
        bool defined = false;
        for (const scoredata::Block& b : scoredata::song().blocks) {
            for (const scoredata::Definition& d : b.definitions) {
                defined = defined || d.event == held;
                for (int c : d.children)
                    found = found || c == held;
            }
            for (int c : b.trackChildren)
                found = found || c == held;
        }
        EXPECT_TRUE(defined) << held;
        EXPECT_FALSE(found) << held;
    }
}

} // namespace
