#pragma once
// The song's score as data, and the reader of its notation.
//
// The score is written as text, one block of score events per track in song
// order. A block opens with "block T: A..B" (track id, its score events) and
// closes with its track; "#" starts a comment line, and a line that ends in
// a comma continues on the next. Statements:
//
//   N..M: d/v, d/v ×k, [d/v, d/v] ×k   events N..M are leaves (ms / value),
//                                      one item per event once expanded
//   N: d/v                             one leaf
//   N..M: not defined                  events left in their constructed state
//   N = (a..b, c ×k, [c, d] ×k)        event N is a composite of these
//                                      children (brackets may nest)
//   track T = (children)               the track's children
//   ... — D ms                         after a composite or track: its
//                                      derived length, a check on the data
//
// "×" may also be written "x", and "—" as "--". Anything the reader cannot
// take whole is a programming error: it throws std::logic_error naming the
// line, so a bad score fails at start-up instead of playing a short song.
#include <string>
#include <vector>

namespace scoredata {

struct Definition {
    int event = -1;
    bool leaf = false;
    int durationMs = -1;       // leaves
    float value = -1.0f;       // leaves
    std::vector<int> children; // composites, repeats expanded
};

struct Block {
    int trackId = -1;
    int firstEvent = 0;
    int lastEvent = -1;
    std::vector<Definition> definitions;   // in the order written
    std::vector<int> undefinedEvents;
    std::vector<int> trackChildren;        // repeats expanded
};

// A "— D ms" check: the derived length of a composite (event >= 0) or of a
// track (event -1, trackId set).
struct Check {
    int event = -1;
    int trackId = -1;
    int durationMs = 0;
};

struct Score {
    std::vector<Block> blocks;   // in song order
    std::vector<Check> checks;   // in the order written
};

// Reads a whole score text; throws std::logic_error on any fault.
Score parse(const std::string& text);

// The song's score text.
const char* songText();

// The song, read once per process.
const Score& song();

} // namespace scoredata
