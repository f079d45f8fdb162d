#include "app/HighScoreFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

struct Case {
    std::string what;
    std::string text;
    HighScoreTable expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

const std::string forty(40, 'x');

class HighScoreRead : public ::testing::TestWithParam<Case> {};

TEST_P(HighScoreRead, GivesTheRowsTheLastGoodReads)
{
    std::istringstream in(GetParam().text);
    EXPECT_EQ(readHighScores(in), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, HighScoreRead,
    ::testing::Values(
        Case{"whole file", "HIGH SCORES\nann\n900\nbob\n800\ncyd\n700\ndee\n600\neve\n500\ntrailing junk\n",
             {{{"ann", 900}, {"bob", 800}, {"cyd", 700}, {"dee", 600}, {"eve", 500}}}},
        Case{"empty file", "", {{{"", 0}, {"", 0}, {"", 0}, {"", 0}, {"", 0}}}},
        Case{"first line only: its text fills every name",
             "my scores \n",
             {{{"my scores ", 0}, {"my scores ", 0}, {"my scores ", 0}, {"my scores ", 0}, {"my scores ", 0}}}},
        Case{"ends after the third score", "h\na 3\nb 2\nc 1\n",
             {{{"a", 3}, {"b", 2}, {"c", 1}, {"c", 1}, {"c", 1}}}},
        Case{"non-numeric score in row 2", "h\na 3\nb abc\nc 1\nd 1\ne 1\n",
             {{{"a", 3}, {"b", 3}, {"b", 3}, {"b", 3}, {"b", 3}}}},
        Case{"negative score and tokens on one line", "h\na -250 b\t7 c 0 d 1 e 2",
             {{{"a", -250}, {"b", 7}, {"c", 0}, {"d", 1}, {"e", 2}}}},
        Case{"score beyond 32 bits fails the read", "h\na 1\nb 99999999999\nc 2\nd 3\ne 4\n",
             {{{"a", 1}, {"b", 1}, {"b", 1}, {"b", 1}, {"b", 1}}}},
        Case{"a number stops where the digits do", "h\na 12bob 5 c 6 d 7 e 8\n",
             {{{"a", 12}, {"bob", 5}, {"c", 6}, {"d", 7}, {"e", 8}}}},
        Case{"long names are kept whole", "h\n" + forty + " 5\nb 4\nc 3\nd 2\ne 1\n",
             {{{forty, 5}, {"b", 4}, {"c", 3}, {"d", 2}, {"e", 1}}}},
        Case{"CRLF line ends", "Scores\r\nann\r\n900\r\nbob\r\n800\r\ncyd\r\n700\r\ndee\r\n600\r\neve\r\n500\r\n",
             {{{"ann", 900}, {"bob", 800}, {"cyd", 700}, {"dee", 600}, {"eve", 500}}}},
        Case{"CRLF first line only", "Scores\r\n",
             {{{"Scores", 0}, {"Scores", 0}, {"Scores", 0}, {"Scores", 0}, {"Scores", 0}}}},
        Case{"no leading line shifts the reading", "ann\n900\nbob\n800\n",
             {{{"900", 0}, {"900", 0}, {"900", 0}, {"900", 0}, {"900", 0}}}}));

TEST(HighScoreFile, MissingFileGivesEmptyNamesAndZero)
{
    auto table = readHighScores(std::string("no_such_dir/scores.kes"));
    for (const auto& row : table)
        EXPECT_EQ(row, (HighScoreRow{"", 0}));
}

class HighScoreRewrite : public ::testing::Test {
protected:
    // One file per test: ctest runs the tests of this fixture at the same time.
    const std::string path =
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_scores.kes";
    void write(const std::string& text) { std::ofstream(path) << text; }
    std::string contents()
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(HighScoreRewrite, ReplacesThePlaceholderAndTheReaderStillAgrees)
{
    write("Top five\nann 900\n___ 800\ncyd 700\ndee 600\neve 500\n");
    ASSERT_TRUE(rewriteHighScores("Zaphod_Beeblebrox", path));
    EXPECT_EQ(contents(), "Top five\nann\n900\nZaphod_B\n800\ncyd\n700\ndee\n600\neve\n500\n");
    EXPECT_EQ(readHighScores(path)[1], (HighScoreRow{"Zaphod_B", 800}));
}

TEST_F(HighScoreRewrite, LeavesShortOrUnmarkedFilesAlone)
{
    struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"Top\nann 9\n___ 8\n", "joe"},                       // short
        {"Top\na 1\nb 2\nc 3\nd 4\ne 5\n", "joe"},            // no placeholder
        {"Top\na 1\n___ x\nc 3\nd 4\ne 5\n", "joe"},          // malformed score
        {"Top\na 1\n___ 2\nc 3\nd 4\ne 5\n", "two words"},    // name would split
        {"Top\na 1\n___ 2\nc 3\nd 4\ne 5\n", ""},
    };
    for (const auto& c : cases) {
        write(c.text);
        EXPECT_FALSE(rewriteHighScores(c.name, path)) << c.text;
        EXPECT_EQ(contents(), c.text);
    }
    std::remove(path.c_str());
    EXPECT_FALSE(rewriteHighScores("joe", path));
    EXPECT_FALSE(std::ifstream(path).good());
}

} // namespace
