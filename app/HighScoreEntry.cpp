#include "app/HighScoreEntry.h"

#include "app/HighScoreFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

const char* const PLACEHOLDER = "___";

struct WholeTable {
    std::string firstLine;
    HighScoreTable rows;
};

// A first line and five name and score pairs, every read good, and no row
// already waiting for a name.
bool readWhole(const std::string& path, WholeTable& table)
{
    std::ifstream in(path);
    if (!in || !std::getline(in, table.firstLine))
        return false;
    if (!table.firstLine.empty() && table.firstLine.back() == '\r')
        table.firstLine.pop_back();
    for (HighScoreRow& row : table.rows) {
        if (!(in >> row.name >> row.score))
            return false;
        if (row.name == PLACEHOLDER)
            return false;
    }
    return true;
}

int rankIn(const HighScoreTable& rows, int score)
{
    for (int i = 0; i < int(rows.size()); ++i)
        if (score > rows[i].score)
            return i;
    return -1;
}

bool writeFile(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << contents;
        out.flush();
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

int highScoreRank(int score, const std::string& path)
{
    WholeTable table;
    return readWhole(path, table) ? rankIn(table.rows, score) : -1;
}

bool enterHighScore(int score, const std::string& name, const std::string& path)
{
    WholeTable table;
    if (!readWhole(path, table))
        return false;
    const int rank = rankIn(table.rows, score);
    if (rank < 0)
        return false;
    std::string original;
    {
        std::ifstream in(path, std::ios::binary);
        original.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    for (int i = int(table.rows.size()) - 1; i > rank; --i)
        table.rows[i] = table.rows[i - 1];
    table.rows[rank] = {PLACEHOLDER, score};
    std::ostringstream out;
    out << table.firstLine << '\n';
    for (const HighScoreRow& row : table.rows)
        out << row.name << '\n' << row.score << '\n';
    if (!writeFile(path, out.str()))
        return false;
    if (rewriteHighScores(name, path))
        return true;
    writeFile(path, original);
    return false;
}
