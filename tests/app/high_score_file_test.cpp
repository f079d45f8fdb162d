#include "app/HighScoreFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

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

// Every name that would not read back as itself, through both ways into
// the table: refused, the file unchanged. A name longer than fits is cut.
TEST_F(HighScoreRewrite, NamesTheReaderWouldSplitOrTakeForAFreeRowAreRefused)
{
    const std::string table = "Top\nann\n900\n___\n800\ncyd\n700\ndee\n600\neve\n500\n";
    const struct {
        std::string name;
        const char* stored; // null: refused
    } cases[] = {
        {"kim", "kim"},
        {"Zaphod_Beeblebrox", "Zaphod_B"},
        {"___", nullptr},
        {"___a", "___a"},
        {"", nullptr},
        {"a b", nullptr},
        {"a\tb", nullptr},
        {"a\nb", nullptr},
        {"a\rb", nullptr},
        {"a\vb", nullptr},
        {"a\fb", nullptr},
        {"abcdefgh ", nullptr}, // the blank past the cut would still be refused
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        write(table);
        EXPECT_EQ(rewriteHighScores(c.name, path), c.stored != nullptr);
        if (c.stored)
            EXPECT_EQ(readHighScores(path)[1], (HighScoreRow{c.stored, 800}));
        else
            EXPECT_EQ(contents(), table);
        write(table);
        EXPECT_EQ(enterHighScore(1000, c.name, path), c.stored != nullptr);
        if (c.stored)
            EXPECT_EQ(readHighScores(path)[0], (HighScoreRow{c.stored, 1000}));
        else
            EXPECT_EQ(contents(), table);
    }
}

class HighScoreEntry : public HighScoreRewrite {};

const char* const TABLE = "High scores\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";

// Best first or not, the lowest row drops, the others keep their order, and
// no row below the new one holds a better score.
TEST_F(HighScoreEntry, TheLowestDropsAndTheScoreGoesBelowEveryRowThatBeatsIt)
{
    const struct {
        const char* what;
        const char* table;
        int score;
        int rank;
        const char* after; // null: the file stays as it was
    } cases[] = {
        {"above all", TABLE, 9001, 0, "High scores\nkim\n9001\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\n"},
        {"equal to the best", TABLE, 9000, 1, "High scores\nann\n9000\nkim\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\n"},
        {"in the middle", TABLE, 6000, 2, "High scores\nann\n9000\nbob\n7000\nkim\n6000\ncyd\n5000\ndee\n3000\n"},
        {"just above the last", TABLE, 1001, 4, "High scores\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\nkim\n1001\n"},
        {"equal to the last", TABLE, 1000, -1, nullptr},
        {"below all", TABLE, -5, -1, nullptr},
        {"lowest on top", "T\nlow 1\nb 50\nc 40\nd 30\ne 20\n", 25, 3, "T\nb\n50\nc\n40\nd\n30\nkim\n25\ne\n20\n"},
        {"lowest in the middle", "T\na 10\nb 90\nlow 5\nd 70\ne 30\n", 60, 3, "T\na\n10\nb\n90\nd\n70\nkim\n60\ne\n30\n"},
        {"best at the bottom", "T\na 3\nb 2\nc 1\nd 4\ne 99\n", 50, 4, "T\na\n3\nb\n2\nd\n4\ne\n99\nkim\n50\n"},
        {"equal lowest: the one nearer the bottom drops", "T\na 5\nb 9\nc 5\nd 9\ne 9\n", 6, 4,
         "T\na\n5\nb\n9\nd\n9\ne\n9\nkim\n6\n"},
        {"negative scores", "T\na -1\nb -2\nc -3\nd -4\ne -5\n", 0, 0, "T\nkim\n0\na\n-1\nb\n-2\nc\n-3\nd\n-4\n"},
        {"a row already named ___ is a row like any other", "T\na 9\n___ 7\nc 5\nd 3\ne 1\n", 8, 1,
         "T\na\n9\nkim\n8\n___\n7\nc\n5\nd\n3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write(c.table);
        EXPECT_EQ(highScoreRank(c.score, path), c.rank);
        EXPECT_EQ(enterHighScore(c.score, "kim", path), c.after != nullptr);
        EXPECT_EQ(contents(), c.after ? c.after : c.table);
    }
}

// A missing, short or damaged file asks for no name and is never written.
TEST_F(HighScoreEntry, NoWholeTableIsNeverRankedOrWritten)
{
    const char* bad[] = {
        "High scores\nann\n9000\nbob\n7000\n",                                 // short
        "High scores\nann\n9000\nbob\nlots\ncyd\n5000\ndee\n3000\neve\n1000\n", // damaged score
        "ann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n",              // no first line
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

// A score is offered a name only when the table can take it under any name
// the entry accepts: ranked with a name of the longest length, the table
// must stay within the size limit. An entry under a shorter name may still
// fit, but the player was never asked.
TEST_F(HighScoreEntry, AFullTableOffersNoNameItCouldNotWrite)
{
    // The rows after the first line; entering 8000 under a name of eight
    // characters drops "eve 1000" and makes the text five bytes longer.
    const std::string rows = "ann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";
    const std::size_t growth = 5;
    const struct {
        const char* what;
        std::size_t size; // of the table
        int rank;
    } cases[] = {
        {"the longest name fits exactly", HIGH_SCORE_FILE_MAX_BYTES - growth, 1},
        {"a byte short for the longest name", HIGH_SCORE_FILE_MAX_BYTES - growth + 1, -1},
        {"at the size limit", HIGH_SCORE_FILE_MAX_BYTES, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = std::string(c.size - rows.size() - 1, 'x') + "\n" + rows;
        write(text);
        EXPECT_EQ(highScoreRank(8000, path), c.rank);
        EXPECT_EQ(contents(), text);
        // What the rank promised holds for the longest name.
        EXPECT_EQ(enterHighScore(8000, "kimberly", path), c.rank >= 0);
        if (c.rank >= 0)
            EXPECT_EQ(contents().size(), HIGH_SCORE_FILE_MAX_BYTES);
        else
            EXPECT_EQ(contents(), text);
    }
}

TEST(HighScoreNames, BadUtf8IsShownWithEachBadPartReplaced)
{
    const struct {
        const char* what;
        std::string name, shown;
    } cases[] = {
        {"plain", "kim", "kim"},
        {"two-byte", "caf\xc3\xa9", "caf\xc3\xa9"},
        {"three-byte", "\xe2\x82\xac" "9", "\xe2\x82\xac" "9"},
        {"four-byte", "\xf0\x9f\x9a\x80", "\xf0\x9f\x9a\x80"},
        {"Latin-1", "caf\xe9", "caf?"},
        {"Latin-1 inside", "J\xfcrgen", "J?rgen"},
        {"lone continuation", "\x80x\xbf", "?x?"},
        {"cut-off sequence at the end", "ab\xe2\x82", "ab??"},
        {"cut-off sequence before ASCII", "\xe2\x82z", "??z"},
        {"overlong", "\xc0\xaf\xe0\x80\xaf", "?????"},
        {"surrogate", "\xed\xa0\x80", "???"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "????"},
        {"never a lead byte", "\xf5\xff\xfe", "???"},
        {"control characters pass", std::string("a\x01\x7f", 3), std::string("a\x01\x7f", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownHighScoreName(c.name), c.shown) << c.what;
}

} // namespace

namespace {

// Generated tables, some damaged, and generated player names. The rewrite's
// result is checked against a plain model of the file: a first line, then
// white-space separated tokens, five names and five 32-bit scores. A rewrite
// that fails leaves the file byte-identical; one that succeeds reads back as
// the model's table with the first "___" renamed.
class Fuzz {
public:
    explicit Fuzz(unsigned seed) : state(seed) {}

    unsigned next()
    {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFFFF;
    }
    bool chance(unsigned percent) { return next() % 100 < percent; }
    char pick(const std::string& pool) { return pool[next() % pool.size()]; }

    std::string spaces()
    {
        std::string s;
        const unsigned n = 1 + next() % 3;
        for (unsigned i = 0; i < n; ++i)
            s += pick(std::string(" \t\n\v\f\r"));
        return s;
    }
    std::string name()
    {
        if (chance(30))
            return "___";
        static const std::string pool = std::string("abcXYZ019_-.!#\x80\xff") + std::string(1, '\0');
        std::string s;
        const unsigned n = 1 + next() % 12;
        for (unsigned i = 0; i < n; ++i)
            s += pick(pool);
        return s;
    }
    std::string score()
    {
        switch (next() % 20) {
        case 0:
            return "abc";
        case 1:
            return "99999999999";
        case 2:
            return "-2147483648";
        case 3:
            return "2147483647";
        case 4:
            return "2147483648";
        default:
            return std::to_string(static_cast<int>(next()) - 0x800000);
        }
    }
    std::string firstLine()
    {
        std::string s;
        const unsigned n = next() % 20;
        for (unsigned i = 0; i < n; ++i)
            s += pick(std::string("Top five \t\v\r"));
        return s;
    }
    std::string playerName()
    {
        if (chance(3))
            return "";
        std::string s;
        const unsigned n = 1 + next() % 12;
        for (unsigned i = 0; i < n; ++i)
            s += chance(4) ? pick(std::string(" \t\n\v\f\r")) : pick(std::string("kimJOE_7"));
        return s;
    }
    std::string file()
    {
        std::string text = firstLine() + "\n";
        const unsigned rows = chance(10) ? next() % 5 : 5;
        for (unsigned i = 0; i < rows; ++i)
            text += spaces() + name() + spaces() + score();
        if (chance(50))
            text += spaces() + "rest of the file";
        if (chance(10))
            text.resize(next() % (text.size() + 1));
        return text;
    }

private:
    unsigned state;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool scoreOf(const std::string& token, int& value)
{
    std::size_t i = token[0] == '-' || token[0] == '+' ? 1 : 0;
    if (i == token.size() || token.size() > 12)
        return false;
    for (std::size_t j = i; j < token.size(); ++j)
        if (token[j] < '0' || token[j] > '9')
            return false;
    const long long v = std::stoll(token);
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

// What the rewrite should make of a file, or false when it should refuse.
bool model(const std::string& text, const std::string& player, HighScoreTable& table)
{
    if (player.empty() || std::any_of(player.begin(), player.end(), isSpace) || player.substr(0, 8) == "___")
        return false;
    if (text.size() > HIGH_SCORE_FILE_MAX_BYTES)
        return false;
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string::npos)
        return false;
    std::vector<std::string> tokens;
    std::string token;
    for (std::size_t i = lineEnd + 1; i <= text.size() && tokens.size() < 10; ++i) {
        if (i == text.size() || isSpace(text[i])) {
            if (!token.empty())
                tokens.push_back(token);
            token.clear();
        } else {
            token += text[i];
        }
    }
    if (tokens.size() < 10)
        return false;
    bool renamed = false;
    for (int row = 0; row < 5; ++row) {
        table[row].name = tokens[2 * row];
        if (!scoreOf(tokens[2 * row + 1], table[row].score))
            return false;
        if (!renamed && table[row].name == "___") {
            table[row].name = player.substr(0, 8);
            renamed = true;
        }
    }
    return renamed;
}

TEST(HighScoreFuzz, FailedRewritesChangeNothingAndGoodOnesReadBack)
{
    // On a memory file system every case goes through a real file; on a
    // disk, where each rewrite waits for the disk, one case in fifty does.
    const bool memory = access("/dev/shm", W_OK) == 0;
    char pattern[] = "/dev/shm/tessaline-fuzz.XXXXXX";
    char diskPattern[] = "tessaline-fuzz.XXXXXX";
    const char* made = memory ? mkdtemp(pattern) : mkdtemp(diskPattern);
    ASSERT_NE(made, nullptr);
    const std::string dir = made;
    const std::string path = dir + "/scores.kes";

    Fuzz fuzz(20261210);
    int succeeded = 0, refused = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string text = fuzz.file();
        const std::string player = fuzz.playerName();
        HighScoreTable expected;
        const bool ok = model(text, player, expected);

        std::string rewritten;
        ASSERT_EQ(rewriteHighScoreText(text, player, rewritten), ok) << "case " << i;
        if (ok) {
            std::istringstream back(rewritten);
            ASSERT_EQ(readHighScores(back), expected) << "case " << i;
        }
        if (!memory && i % 50 != 0)
            continue;
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << text;
        }
        ASSERT_EQ(rewriteHighScores(player, path), ok) << "case " << i;
        if (ok) {
            ASSERT_EQ(readHighScores(path), expected) << "case " << i;
            ++succeeded;
        } else {
            std::ifstream in(path, std::ios::binary);
            std::stringstream now;
            now << in.rdbuf();
            ASSERT_EQ(now.str(), text) << "case " << i;
            ++refused;
        }
    }
    unlink(path.c_str());
    // Nothing else was ever left in the folder: it must be empty now.
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "temporary files left in " << dir;
    EXPECT_GT(succeeded, 100);
    EXPECT_GT(refused, 100);
}

} // namespace

namespace {

// A folder of its own for a table, in memory where the machine has it (each
// save syncs the disk).
struct TableFolder {
    TableFolder()
    {
        char memory[] = "/dev/shm/tessaline-lock.XXXXXX";
        char disk[] = "tessaline-lock.XXXXXX";
        const char* made = access("/dev/shm", W_OK) == 0 ? mkdtemp(memory) : mkdtemp(disk);
        dir = made ? made : "";
        path = dir + "/scores.kes";
    }
    ~TableFolder()
    {
        unlink(path.c_str());
        rmdir(dir.c_str());
    }
    void write(const std::string& text) const { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; }
    std::string contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.')
                    all.push_back(e->d_name);
            closedir(d);
        }
        return all;
    }
    std::string dir, path;
};

// A child process that waits for the start signal (the pipe's write end
// closed everywhere), enters the score and exits with 0 when the entry said
// it saved.
pid_t enterInChild(const int (&start)[2], int score, const char* name, const std::string& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        close(start[1]);
        char c;
        while (read(start[0], &c, 1) < 0 && errno == EINTR) {
        }
        _exit(enterHighScore(score, name, path) ? 0 : 1);
    }
    return pid;
}

// Whether the child's entry said it saved; -1 when it did not end normally.
int savedBy(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status) == 0;
}

const std::string BASE = "Top\na\n50\nb\n40\nc\n30\nd\n20\ne\n10\n";

} // namespace

// Two games in one folder ending at the same moment, round after round:
// both scores are in the table, or the one whose entry said it failed is
// the one missing; the table reads whole and nothing is left beside it.
TEST(HighScoreTwoGames, EnteringAtOnceLosesNoScoreUnsaid)
{
    TableFolder folder;
    ASSERT_FALSE(folder.dir.empty());
    // By which of the two saved: [p saved][q saved].
    const std::string expected[2][2] = {
        {BASE, "Top\nq\n1000\na\n50\nb\n40\nc\n30\nd\n20\n"},
        {"Top\np\n2000\na\n50\nb\n40\nc\n30\nd\n20\n", "Top\np\n2000\nq\n1000\na\n50\nb\n40\nc\n30\n"},
    };
    const int rounds = 100;
    int bothSaved = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        folder.write(BASE);
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        const pid_t p = enterInChild(start, 2000, "p", folder.path);
        const pid_t q = enterInChild(start, 1000, "q", folder.path);
        close(start[0]);
        close(start[1]); // both go
        ASSERT_GT(p, 0);
        ASSERT_GT(q, 0);
        const int pSaved = savedBy(p), qSaved = savedBy(q);
        ASSERT_GE(pSaved, 0);
        ASSERT_GE(qSaved, 0);
        EXPECT_EQ(folder.contents(), expected[pSaved][qSaved]);
        EXPECT_EQ(folder.names(), std::vector<std::string>{"scores.kes"});
        bothSaved += pSaved && qSaved;
    }
    EXPECT_GT(bothSaved, 0) << "the two never both saved";
}

// A game that finds the table held by another waits for it: for one that
// lets go, also after it put a new table in place, and not for ever for
// one that hangs.
TEST(HighScoreTwoGames, AnEntryWaitsForTheOtherHolderOfTheTableButNotForEver)
{
    const std::string replaced = "Top\nz\n3000\ny\n300\nx\n30\nw\n3\nv\n0\n";
    const struct {
        const char* what;
        const char* newTable; // what the holder puts in place before letting go; null: nothing
        bool letsGo;          // before the entry gives up
        const char* after;    // null: the table untouched
    } cases[] = {
        {"a holder that lets go", nullptr, true, "Top\np\n2000\na\n50\nb\n40\nc\n30\nd\n20\n"},
        {"a holder that saves a new table, then lets go", replaced.c_str(), true,
         "Top\nz\n3000\np\n2000\ny\n300\nx\n30\nw\n3\n"},
        {"a holder that hangs", nullptr, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TableFolder folder;
        ASSERT_FALSE(folder.dir.empty());
        folder.write(BASE);
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        const pid_t p = enterInChild(start, 2000, "p", folder.path);
        ASSERT_GT(p, 0);
        // Taken after the fork: a lock the child inherited would be its own.
        const int held = open(folder.path.c_str(), O_RDONLY);
        ASSERT_EQ(flock(held, LOCK_EX), 0);
        close(start[0]);
        close(start[1]);
        int saved = -1;
        if (c.letsGo) {
            usleep(100000); // the entry is under way, waiting
            if (c.newTable) {
                const std::string temporary = folder.path + ".new";
                std::ofstream(temporary) << c.newTable;
                ASSERT_EQ(rename(temporary.c_str(), folder.path.c_str()), 0);
            }
            close(held);
            saved = savedBy(p);
        } else {
            saved = savedBy(p);
            close(held);
        }
        EXPECT_EQ(saved, c.after != nullptr);
        EXPECT_EQ(folder.contents(), c.after ? c.after : BASE);
        EXPECT_EQ(folder.names(), std::vector<std::string>{"scores.kes"});
    }
}
