#pragma once
// The high-score table, "scores.kes": a first line that is skipped, then
// five name and score pairs separated by white space.
#include <array>
#include <cstddef>
#include <istream>
#include <string>

struct HighScoreRow {
    std::string name;
    int score = 0;
    bool operator==(const HighScoreRow& o) const { return name == o.name && score == o.score; }
};

using HighScoreTable = std::array<HighScoreRow, 5>;

extern const char* const HIGH_SCORE_FILE;

// No table needs more: the file is read no further, so a huge file or a
// link to an endless device cannot fill the memory.
constexpr std::size_t HIGH_SCORE_FILE_MAX_BYTES = 4096;

// Reads the table. A read that fails leaves the last good name and score in
// place, and every read after a failure fails, so a short or damaged file
// shows its last good values in the rows it lacks; no file gives five empty
// names with the score 0. Anything but a regular file (a directory, FIFO or
// device) reads as no file.
HighScoreTable readHighScores(std::istream& in);
HighScoreTable readHighScores(const std::string& path = HIGH_SCORE_FILE);

// Puts the player's name (at most 8 characters kept) in place of the entry
// named "___" and writes the table back, scores unchanged, keeping the first
// line so the reader still finds the entries. Returns false and writes
// nothing when the name is empty or holds white space, when the file is
// missing, is not a regular file, is a symbolic link, is read-only, holds
// fewer than five whole entries or no "___" entry, or when the new file
// cannot be written whole (a full disk, a read-only folder). The file is
// replaced in one step by a new one with the same mode, so it is never left
// half-written and no temporary file stays behind.
bool rewriteHighScores(const std::string& playerName, const std::string& path = HIGH_SCORE_FILE);

// The text the rewrite writes for a file that holds `original`; false when
// the rewrite would write nothing.
bool rewriteHighScoreText(const std::string& original, const std::string& playerName, std::string& rewritten);
