// Typing a name at the end of a game, and the table the name goes into.
#include "app/HighScoreEntry.h"
#include "app/HighScoreFile.h"
#include "app/NameEntry.h"

#include "platform/devices/keyboard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// Key codes of letters as the keyboard reports them, with their characters.
const int KC_A = 30, KC_B = 48, KC_1 = 2;

NameKey type(std::string& name, int key, char c) { return nameEntryKey(name, key, static_cast<unsigned char>(c)); }

} // namespace

TEST(NameEntryTest, TypingBackspaceAndTheEightCharacterLimit)
{
    std::string name;
    EXPECT_EQ(nameEntryKey(name, input::KC_BACK, 8), NameKey::IGNORED); // nothing to erase
    EXPECT_EQ(type(name, KC_A, 'a'), NameKey::CHANGED);
    EXPECT_EQ(type(name, KC_B, 'B'), NameKey::CHANGED);
    EXPECT_EQ(type(name, KC_1, '1'), NameKey::CHANGED);
    EXPECT_EQ(shownName(name), "aB1_");
    EXPECT_EQ(nameEntryKey(name, input::KC_BACK, 8), NameKey::CHANGED);
    EXPECT_EQ(name, "aB");
    for (int i = 0; i < 10; ++i)
        type(name, KC_A, 'x');
    EXPECT_EQ(name, "aBxxxxxx");
    EXPECT_EQ(type(name, KC_A, 'y'), NameKey::IGNORED);
    EXPECT_EQ(name.size(), PLAYER_NAME_CHARS);
    EXPECT_EQ(nameEntryKey(name, input::KC_RETURN, '\r'), NameKey::DONE);
    EXPECT_EQ(name, "aBxxxxxx");
}

TEST(NameEntryTest, KeysThatTypeNoPrintableCharacterAreIgnored)
{
    std::string name = "ab";
    const struct {
        int key;
        unsigned character;
    } keys[] = {{input::KC_SPACE, ' '}, {input::KC_UP, 0}, {input::KC_LEFT, 0}, {15, '\t'}, {input::KC_ESCAPE, 27}, {83, 127}};
    for (const auto& k : keys)
        EXPECT_EQ(nameEntryKey(name, k.key, k.character), NameKey::IGNORED) << k.key;
    EXPECT_EQ(name, "ab");
}

class HighScoreEntryTest : public ::testing::Test {
protected:
    const std::string path =
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_entry.kes";
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string contents()
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        std::remove((path + ".new").c_str());
    }
};

const char* const TABLE = "High scores\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";

TEST_F(HighScoreEntryTest, RankIsTheFirstRowTheScoreBeats)
{
    write(TABLE);
    const struct {
        int score;
        int rank;
    } cases[] = {{9001, 0}, {9000, 1}, {6000, 2}, {1001, 4}, {1000, -1}, {0, -1}, {-5, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(highScoreRank(c.score, path), c.rank) << c.score;
}

TEST_F(HighScoreEntryTest, EnteredRowPushesTheRestDownAndTheReaderShowsIt)
{
    write(TABLE);
    ASSERT_TRUE(enterHighScore(6000, "Zed", path));
    EXPECT_EQ(contents(), "High scores\nann\n9000\nbob\n7000\nZed\n6000\ncyd\n5000\ndee\n3000\n");
    HighScoreTable t = readHighScores(path);
    EXPECT_EQ(t[2], (HighScoreRow{"Zed", 6000}));
    EXPECT_EQ(t[4], (HighScoreRow{"dee", 3000}));

    ASSERT_TRUE(enterHighScore(99999, "Top", path));
    EXPECT_EQ(readHighScores(path)[0], (HighScoreRow{"Top", 99999}));
    EXPECT_EQ(readHighScores(path)[4], (HighScoreRow{"cyd", 5000}));
}

// A missing, short, damaged or half-filled file asks for no name and is
// never written.
TEST_F(HighScoreEntryTest, BadFilesAreLeftAsTheyAre)
{
    const char* bad[] = {
        "High scores\nann\n9000\nbob\n7000\n",                               // short
        "High scores\nann\n9000\nbob\nlots\ncyd\n5000\ndee\n3000\neve\n1000\n", // damaged score
        "High scores\nann\n9000\n___\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n", // a name pending
        "",
    };
    for (const char* text : bad) {
        write(text);
        EXPECT_EQ(highScoreRank(50000, path), -1) << text;
        EXPECT_FALSE(enterHighScore(50000, "joe", path)) << text;
        EXPECT_EQ(contents(), text);
    }
    std::remove(path.c_str());
    EXPECT_EQ(highScoreRank(50000, path), -1);
    EXPECT_FALSE(enterHighScore(50000, "joe", path));
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(HighScoreEntryTest, ANameTheTableCannotHoldLeavesTheFileUnchanged)
{
    write(TABLE);
    EXPECT_FALSE(enterHighScore(6000, "two words", path));
    EXPECT_FALSE(enterHighScore(6000, "", path));
    EXPECT_EQ(contents(), TABLE);
}
