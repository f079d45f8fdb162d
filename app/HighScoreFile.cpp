#include "app/HighScoreFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

const char* const HIGH_SCORE_FILE = "scores.kes";

namespace {

const char* const NAME_PLACEHOLDER = "___";
const std::size_t PLAYER_NAME_MAX = 8;

void stripCarriageReturn(std::string& s)
{
    if (!s.empty() && s.back() == '\r')
        s.pop_back();
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
    std::ifstream in(path);
    return readHighScores(in);
}

bool rewriteHighScores(const std::string& playerName, const std::string& path)
{
    // A name with white space, or none, would shift every later token when
    // read back.
    if (playerName.empty() || playerName.find_first_of(" \t\r\n") != std::string::npos)
        return false;
    HighScoreTable table;
    std::string firstLine;
    {
        std::ifstream in(path);
        if (!in || readTable(in, firstLine, table) != 11)
            return false;
    }
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

    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << out.str();
        file.flush();
        if (!file)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}
