#pragma once
// Putting a finished game into the high-score table. The table is kept best
// first; a score enters it above the first row it beats, and the last row
// drops out. Only a whole, readable table is ever written: a missing or
// damaged file is left exactly as it is.
#include <string>

// The row (0 to 4) the score would take, or -1 when it does not beat any row
// or the file is not a whole table.
int highScoreRank(int score, const std::string& path);

// Enters the score under the name at its rank: the row is written under the
// placeholder name first, then the placeholder is replaced by the name
// through rewriteHighScores. Returns whether the table changed; on any
// failure the file keeps its old contents.
bool enterHighScore(int score, const std::string& name, const std::string& path);
