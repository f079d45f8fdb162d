#include "app/HighScoreFile.h"

#include <functional>
#include <sstream>
#include <utility>

#include "platform/regularFile.h"

const char* const HIGH_SCORE_FILE = "scores.kes";
const char* const HIGH_SCORE_PLACEHOLDER = "___";

namespace {

const int ROWS = static_cast<int>(HighScoreTable().size());
// A first line and a name and a score per row.
const int WHOLE_TABLE_READS = 1 + 2 * ROWS;

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

// The table as its file holds it.
struct TableFile {
    std::string firstLine;
    HighScoreTable rows;
};

// Reads the first line and the five pairs; returns how many reads succeeded
// before the first failure (WHOLE_TABLE_READS when all went well).
int parse(std::istream& in, std::string& firstLine, HighScoreTable& table)
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

bool parseWhole(const std::string& text, TableFile& table)
{
    std::istringstream in(text);
    return parse(in, table.firstLine, table.rows) == WHOLE_TABLE_READS;
}

// The one reader: the regular file at the path, whole and within the size
// limit, or nothing.
bool readFile(const std::string& path, std::string& text)
{
    return plat::readWholeRegularFile(path, HIGH_SCORE_FILE_MAX_BYTES, text);
}

bool readWholeTable(const std::string& path, TableFile& table)
{
    std::string text;
    return readFile(path, text) && parseWhole(text, table);
}

// The table's text as it is written; false when the reader would refuse it.
bool textOf(const TableFile& table, std::string& text)
{
    std::ostringstream out;
    out << table.firstLine << '\n';
    for (const HighScoreRow& row : table.rows)
        out << row.name << '\n' << row.score << '\n';
    if (out.str().size() > HIGH_SCORE_FILE_MAX_BYTES)
        return false;
    text = out.str();
    return true;
}

// The one writer: reads the table, changes its text and writes it back as
// one step, so two games ending at once in one folder both get their rows
// in (or the one that waited too long is told). The table is replaced,
// never created.
bool updateTable(const std::string& path, const std::function<bool(std::string& text)>& change)
{
    return plat::updateFile(path, HIGH_SCORE_FILE_MAX_BYTES, change);
}

std::string storedName(const std::string& name) { return name.substr(0, HIGH_SCORE_NAME_MAX); }

// Enters the score into the rows: the lowest drops, and the score goes right
// below the last of the others it does not beat, so no row under it holds a
// better score. Returns its row, or -1 when it beats none and nothing
// changed.
int enter(HighScoreTable& rows, int score, const std::string& name)
{
    int lowest = 0;
    for (int i = 1; i < ROWS; ++i)
        if (rows[i].score <= rows[lowest].score)
            lowest = i;
    if (score <= rows[lowest].score)
        return -1;
    for (int i = lowest; i + 1 < ROWS; ++i)
        rows[i] = std::move(rows[i + 1]);
    int rank = 0;
    for (int i = 0; i < ROWS - 1; ++i)
        if (rows[i].score >= score)
            rank = i + 1;
    for (int i = ROWS - 1; i > rank; --i)
        rows[i] = std::move(rows[i - 1]);
    rows[rank] = {name, score};
    return rank;
}

// The well-formed UTF-8 sequences by their lead byte: their length and the
// range of their second byte (the others are 0x80 to 0xBF). The narrow
// ranges keep out overlong forms, surrogates and code points past U+10FFFF.
struct Utf8Lead {
    unsigned char first, last;
    std::size_t length;
    unsigned char low, high;
};
const Utf8Lead UTF8_LEADS[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (byte(i) < 0x80)
        return 1;
    for (const Utf8Lead& lead : UTF8_LEADS) {
        if (byte(i) < lead.first || byte(i) > lead.last)
            continue;
        if (i + lead.length > text.size() || byte(i + 1) < lead.low || byte(i + 1) > lead.high)
            return 0;
        for (std::size_t k = 2; k < lead.length; ++k)
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
                return 0;
        return lead.length;
    }
    return 0;
}

} // namespace

HighScoreTable readHighScores(std::istream& in)
{
    HighScoreTable table;
    std::string firstLine;
    parse(in, firstLine, table);
    return table;
}

HighScoreTable readHighScores(const std::string& path)
{
    std::string text;
    readFile(path, text);
    std::istringstream in(text);
    return readHighScores(in);
}

bool highScoreNameFits(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (isSeparator(c))
            return false;
    return storedName(name) != HIGH_SCORE_PLACEHOLDER;
}

std::string shownHighScoreName(const std::string& name)
{
    std::string shown;
    shown.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = utf8Length(name, i);
        if (length == 0) {
            shown += '?';
            ++i;
        } else {
            shown.append(name, i, length);
            i += length;
        }
    }
    return shown;
}

int highScoreRank(int score, const std::string& path)
{
    TableFile table;
    if (!readWholeTable(path, table))
        return -1;
    // Ranked under the longest name the entry takes: when that fits, every
    // name the player can type does, and no name is asked for in vain.
    const int rank = enter(table.rows, score, std::string(HIGH_SCORE_NAME_MAX, 'n'));
    std::string text;
    return rank >= 0 && textOf(table, text) ? rank : -1;
}

bool enterHighScore(int score, const std::string& name, const std::string& path)
{
    return highScoreNameFits(name) && updateTable(path, [&](std::string& text) {
               TableFile table;
               return parseWhole(text, table) && enter(table.rows, score, storedName(name)) >= 0 &&
                      textOf(table, text);
           });
}

bool rewriteHighScoreText(const std::string& original, const std::string& playerName, std::string& rewritten)
{
    TableFile table;
    if (!highScoreNameFits(playerName) || original.size() > HIGH_SCORE_FILE_MAX_BYTES ||
        !parseWhole(original, table))
        return false;
    for (HighScoreRow& row : table.rows)
        if (row.name == HIGH_SCORE_PLACEHOLDER) {
            row.name = storedName(playerName);
            return textOf(table, rewritten);
        }
    return false;
}

bool rewriteHighScores(const std::string& playerName, const std::string& path)
{
    return updateTable(path, [&](std::string& text) {
        std::string rewritten;
        if (!rewriteHighScoreText(text, playerName, rewritten))
            return false;
        text = std::move(rewritten);
        return true;
    });
}
