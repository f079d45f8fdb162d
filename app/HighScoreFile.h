#pragma once
// The high-score table, "scores.kes": a first line that is skipped, then
// five name and score pairs separated by white space.
#include <array>
#include <istream>
#include <string>

struct HighScoreRow {
    std::string name;
    int score = 0;
    bool operator==(const HighScoreRow& o) const { return name == o.name && score == o.score; }
};

using HighScoreTable = std::array<HighScoreRow, 5>;

extern const char* const HIGH_SCORE_FILE;

// Reads the table. A read that fails leaves the last good name and score in
// place, and every read after a failure fails, so a short or damaged file
// shows its last good values in the rows it lacks; no file gives five empty
// names with the score 0.
HighScoreTable readHighScores(std::istream& in);
HighScoreTable readHighScores(const std::string& path = HIGH_SCORE_FILE);

// Puts the player's name (at most 8 characters kept) in place of the entry
// named "___" and writes the table back, scores unchanged, keeping the first
// line so the reader still finds the entries. Writes nothing, and returns
// false, when the file is missing, holds fewer than five whole entries or
// no "___" entry; the file is replaced whole, never left half-written.
bool rewriteHighScores(const std::string& playerName, const std::string& path = HIGH_SCORE_FILE);
