#include "app/HighScoreFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
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

// The rewrite against what can stand at the table's path on a real machine.
namespace {

const std::string GOOD = "Top five\nann\n900\n___\n800\ncyd\n700\ndee\n600\neve\n500\n";

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Names in a folder, sorted.
std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Folder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tessaline-scores.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/scores.kes";
    }
    void TearDown() override
    {
        if (mounted)
            umount2(dir.c_str(), MNT_DETACH);
        for (const auto& n : listing(dir))
            unlink((dir + "/" + n).c_str());
        rmdir(dir.c_str());
    }
    // A file system of its own in the folder, as small as the system allows;
    // false where the machine does not let the test mount one.
    bool mountSmall(const char* options)
    {
        mounted = mount("tessaline-test", dir.c_str(), "tmpfs", 0, options) == 0;
        return mounted;
    }
    std::string dir, path;
    bool mounted = false;
};

TEST_F(Folder, RewriteKeepsTheModeAndLeavesOnlyTheTable)
{
    put(path, GOOD);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(rewriteHighScores("kim", path));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readHighScores(path)[1], (HighScoreRow{"kim", 800}));
    EXPECT_EQ(listing(dir), std::vector<std::string>{"scores.kes"});
}

TEST_F(Folder, NamesWithAnyWhiteSpaceTheReaderSplitsOnAreRefused)
{
    put(path, GOOD);
    for (const char* name : {"a b", "a\tb", "a\nb", "a\rb", "a\vb", "a\fb", "\v", "ab\f"}) {
        EXPECT_FALSE(rewriteHighScores(name, path)) << static_cast<int>(name[1]);
        EXPECT_EQ(slurp(path), GOOD);
    }
    EXPECT_EQ(listing(dir), std::vector<std::string>{"scores.kes"});
}

// Each case puts something at the table's path; neither the reader nor the
// rewrite may block, grow without bound or write anything.
TEST_F(Folder, WhatIsNotARegularFileReadsAsNoFileAndIsNeverRewritten)
{
    struct Case {
        const char* what;
        std::function<void()> make;
    };
    const std::vector<Case> cases = {
        {"FIFO", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }},
        {"directory", [&] { ASSERT_EQ(mkdir(path.c_str(), 0755), 0); }},
        {"link to /dev/zero", [&] { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }},
        {"link to /dev/null", [&] { ASSERT_EQ(symlink("/dev/null", path.c_str()), 0); }},
    };
    for (const Case& c : cases) {
        c.make();
        for (const auto& row : readHighScores(path))
            EXPECT_EQ(row, (HighScoreRow{"", 0})) << c.what;
        EXPECT_FALSE(rewriteHighScores("kim", path)) << c.what;
        struct stat st {};
        ASSERT_EQ(lstat(path.c_str(), &st), 0) << c.what;
        EXPECT_FALSE(S_ISREG(st.st_mode)) << c.what << ": replaced by a file";
        EXPECT_EQ(listing(dir), std::vector<std::string>{"scores.kes"}) << c.what;
        if (S_ISDIR(st.st_mode))
            rmdir(path.c_str());
        else
            unlink(path.c_str());
    }
}

TEST_F(Folder, LinksAreReplacedNeitherAtTheTableNorAtATemporaryName)
{
    // The table a link: read through it, never rewritten.
    const std::string target = dir + "/real.kes";
    put(target, GOOD);
    ASSERT_EQ(symlink("real.kes", path.c_str()), 0);
    EXPECT_EQ(readHighScores(path)[0], (HighScoreRow{"ann", 900}));
    EXPECT_FALSE(rewriteHighScores("kim", path));
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(target), GOOD);
    unlink(path.c_str());

    // Links where a temporary file might go: their targets stay untouched.
    const std::string victim = dir + "/victim";
    put(victim, "precious\n");
    put(path, GOOD);
    for (const char* name : {".new", ".tmp", "~", ".XXXXXX"})
        ASSERT_EQ(symlink("victim", (path + name).c_str()), 0);
    ASSERT_TRUE(rewriteHighScores("kim", path));
    EXPECT_EQ(slurp(victim), "precious\n");
    EXPECT_EQ(readHighScores(path)[1], (HighScoreRow{"kim", 800}));
    for (const char* name : {".new", ".tmp", "~", ".XXXXXX"}) {
        ASSERT_EQ(lstat((path + name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << name;
    }
    EXPECT_EQ(listing(dir).size(), 7u);
}

TEST_F(Folder, ReadsNoMoreThanATableCanHold)
{
    // A first line longer than any table: nothing after it is reached.
    put(path, std::string(HIGH_SCORE_FILE_MAX_BYTES, 'x') + "\nann 1\nbob 2\ncyd 3\ndee 4\n___ 5\n");
    EXPECT_EQ(readHighScores(path)[4].score, 0);
    EXPECT_FALSE(rewriteHighScores("kim", path));
    // A table that ends inside the limit, followed by much more.
    put(path, GOOD + std::string(1 << 20, 'z'));
    EXPECT_EQ(readHighScores(path)[4], (HighScoreRow{"eve", 500}));
    ASSERT_TRUE(rewriteHighScores("kim", path));
    EXPECT_EQ(slurp(path), "Top five\nann\n900\nkim\n800\ncyd\n700\ndee\n600\neve\n500\n");
}

TEST_F(Folder, AFullDiskWritesNothingAndLeavesNoTemporaryFile)
{
    if (!mountSmall("size=16k"))
        GTEST_SKIP() << "cannot mount a small file system here (needs root and mount rights): full disk not tested";
    put(path, GOOD);
    ASSERT_EQ(slurp(path), GOOD);
    {
        // Fill every free block.
        const std::string filler = dir + "/filler";
        const int fd = open(filler.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        while (write(fd, "f", 1) > 0) {
        }
        close(fd);
    }
    EXPECT_FALSE(rewriteHighScores("kim", path));
    EXPECT_EQ(slurp(path), GOOD);
    EXPECT_EQ(listing(dir), (std::vector<std::string>{"filler", "scores.kes"}));
}

TEST_F(Folder, AReadOnlyFolderWritesNothingAndLeavesNoTemporaryFile)
{
    if (!mountSmall("size=64k"))
        GTEST_SKIP() << "cannot mount a small file system here (needs root and mount rights): read-only folder not tested";
    put(path, GOOD);
    ASSERT_EQ(mount("tessaline-test", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    EXPECT_FALSE(rewriteHighScores("kim", path));
    EXPECT_EQ(slurp(path), GOOD);
    EXPECT_EQ(listing(dir), std::vector<std::string>{"scores.kes"});
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
    if (player.empty() || std::any_of(player.begin(), player.end(), isSpace))
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
