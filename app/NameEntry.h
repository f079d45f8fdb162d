#pragma once
// Typing a name for the high-score table at the end of a game: up to
// HIGH_SCORE_NAME_MAX characters, Backspace takes the last one back, Return
// ends the entry. Only printable characters other than the blank are taken,
// since the table file separates its entries by white space.
#include <string>

#include "app/HighScoreFile.h"

enum class NameKey {
    CHANGED, // a character was typed or erased
    DONE,    // Return
    IGNORED, // nothing changes
};

NameKey nameEntryKey(std::string& name, int key, unsigned character);

// What the name line shows: the name and the cursor.
inline std::string shownName(const std::string& name) { return name + "_"; }
