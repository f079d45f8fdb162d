#include "app/HighScoreFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "platform/regularFile.h"

const char* const HIGH_SCORE_FILE = "scores.kes";

namespace {

const char* const NAME_PLACEHOLDER = "___";
const std::size_t PLAYER_NAME_MAX = 8;

void stripCarriageReturn(std::string& s)
{
    if (!s.empty() && s.back() == '\r')
        s.pop_back();
}

// Exactly the characters a token read stops at.
bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the first line and the five pairs; returns how many reads succeeded
// before the first failure (1 + 2 per pair when all went well).
int readTable(std::istream& in, std::string& firstLine, HighScoreTable& table)
{
    std::string text;
    int number = 0;
    int good = 0;
    std::string line;
    if (std::getline(in, line)) {
        stripCarriageReturn(line);
        text = line;
        firstLine = line;
        ++good;
    }
    for (HighScoreRow& row : table) {
        std::string token;
        if (in >> token) {
            text = token;
            ++good;
        }
        row.name = text;
        int value = 0;
        if (in >> value) {
            number = value;
            ++good;
        }
        row.score = number;
    }
    return good;
}

// The file as the rewrite may replace it: a regular file, not a link, read
// up to the size of a table. Sets mode to the file's permission bits.
bool readForRewrite(const std::string& path, std::string& text, mode_t& mode)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    mode = st.st_mode & 07777;
    char buffer[HIGH_SCORE_FILE_MAX_BYTES];
    std::size_t have = 0;
    while (ok && have < sizeof buffer) {
        const ssize_t got = ::read(fd, buffer + have, sizeof buffer - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        else if (got == 0)
            break;
        else
            have += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (ok)
        text.assign(buffer, have);
    return ok;
}

} // namespace

HighScoreTable readHighScores(std::istream& in)
{
    HighScoreTable table;
    std::string firstLine;
    readTable(in, firstLine, table);
    return table;
}

HighScoreTable readHighScores(const std::string& path)
{
    std::string text;
    plat::readRegularFile(path, HIGH_SCORE_FILE_MAX_BYTES, text);
    std::istringstream in(text);
    return readHighScores(in);
}

bool rewriteHighScoreText(const std::string& original, const std::string& playerName, std::string& rewritten)
{
    // A name with white space, or none, would shift every later token when
    // read back.
    if (playerName.empty())
        return false;
    for (char c : playerName)
        if (isSeparator(c))
            return false;
    HighScoreTable table;
    std::string firstLine;
    std::istringstream in(original);
    if (readTable(in, firstLine, table) != 11)
        return false;
    bool replaced = false;
    for (HighScoreRow& row : table)
        if (!replaced && row.name == NAME_PLACEHOLDER) {
            row.name = playerName.substr(0, PLAYER_NAME_MAX);
            replaced = true;
        }
    if (!replaced)
        return false;

    std::ostringstream out;
    out << firstLine << '\n';
    for (const HighScoreRow& row : table)
        out << row.name << '\n' << row.score << '\n';
    rewritten = out.str();
    return true;
}

bool rewriteHighScores(const std::string& playerName, const std::string& path)
{
    std::string original;
    mode_t mode = 0;
    // A read-only table stays as it is, though the folder would allow
    // replacing it.
    if (!readForRewrite(path, original, mode) || ::access(path.c_str(), W_OK) != 0)
        return false;
    std::string text;
    if (!rewriteHighScoreText(original, playerName, text))
        return false;

    return plat::replaceFile(path, text, mode);
}
