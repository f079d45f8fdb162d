#pragma once
// The high-score table, "scores.kes", and all the game does with it: the
// high-score screen reads it, the end screen ranks a finished game's score
// and enters it under the player's name, and the rewrite fills in a row named
// "___". They share one reader (plat::readWholeRegularFile) and one writer
// (plat::updateFile, which reads, changes and replaces the file under a lock
// on it), so every guard holds for every caller, and two games saving into
// one table at once both get their rows in.
//
// The file: a first line that is skipped, then five name and score pairs
// separated by white space; anything after the fifth score is ignored. The
// table is written back as the first line, then every name and every score
// on a line of its own.
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

// The name of a row waiting for the player's name (see rewriteHighScores).
extern const char* const HIGH_SCORE_PLACEHOLDER;

// The one size rule, for reading and writing alike: a file larger than this
// is refused whole - shown as no file, never ranked, rewritten or cut - and a
// table whose text would be larger is never written. No table needs more,
// and a huge file or a link to an endless device cannot fill the memory.
constexpr std::size_t HIGH_SCORE_FILE_MAX_BYTES = 4096;

// Longer names are cut to this many characters when they are written.
constexpr std::size_t HIGH_SCORE_NAME_MAX = 8;

// Reads the table. A read that fails leaves the last good name and score in
// place, and every read after a failure fails, so a short or damaged file
// shows its last good values in the rows it lacks; no file gives five empty
// names with the score 0. Anything but a regular file (a directory, FIFO or
// device), and a file over the size limit, reads as no file.
HighScoreTable readHighScores(std::istream& in);
HighScoreTable readHighScores(const std::string& path = HIGH_SCORE_FILE);

// Whether the name can be written into the table so that it reads back as
// itself: not empty, no white space (the reader would split it), and not the
// placeholder (a later rewrite would take the row for a free one).
bool highScoreNameFits(const std::string& name);

// A name as the screens can show it: every byte that is not part of valid
// UTF-8 becomes '?'. The engine's text refuses bad UTF-8 outright, and a
// name from a hand-edited table may be in any encoding.
std::string shownHighScoreName(const std::string& name);

// The row (0 to 4) a finished game's score would take in the table at the
// path, or -1 when it beats no row, when the file is no whole table
// (missing, not a regular file, over the size limit, short or damaged), or
// when the table with the score entered under a name of HIGH_SCORE_NAME_MAX
// characters would be over the size limit: a name is asked for only when
// any name the entry takes can be written. The rows need
// not be in order: the lowest score drops (the one nearest the bottom, among
// equals), and the new row goes right below the last of the other four whose
// score it does not beat (on top when it beats them all), so no row below it
// holds a better score. In a table kept best first that is the usual place.
int highScoreRank(int score, const std::string& path = HIGH_SCORE_FILE);

// Enters the score under the name at its rank, in one replacement of the
// file, read and rewritten as one step against every other entry or
// rewrite. Returns whether the table now holds it; when not (the name does
// not fit, the score no longer ranks, the file is no whole table, another
// game held the table longer than plat::FILE_LOCK_WAIT_MS, or the writer
// refuses: a link, a read-only table, a full disk) the file is untouched and
// nothing is left beside it.
bool enterHighScore(int score, const std::string& name, const std::string& path = HIGH_SCORE_FILE);

// Puts the player's name (at most HIGH_SCORE_NAME_MAX characters kept) in
// place of the first row named "___" and writes the table back, scores
// unchanged, as one step like an entry. Returns false and writes nothing
// when the name does not fit, when the file is no whole table or has no
// "___" row, or when the writer refuses.
bool rewriteHighScores(const std::string& playerName, const std::string& path = HIGH_SCORE_FILE);

// The text the rewrite writes for a file that holds `original`; false when
// the rewrite would write nothing.
bool rewriteHighScoreText(const std::string& original, const std::string& playerName, std::string& rewritten);
