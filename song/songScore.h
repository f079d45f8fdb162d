#pragma once
// The one song of a game: its 1,318 score events and 28 tracks, the section
// that runs the tracks in parallel, 25 event groups that game rules query as
// a whole, and the seven rhythm judges.
//
// Life in a game: construct, buildSong (the world keeps the section and
// starts it at -2), then bindGroups once, then play. Members never move, so
// readers may keep pointers to events, groups and judges for the score's life.
#include <array>
#include <vector>

#include "song/rhythm.h"
#include "song/timeEvent.h"
#include "song/timeEventSection.h"

class gameWorld;

// A group of score events: its member list (an event may stand in it more
// than once) and the merged start-time index of all their occurrences, each
// entry carrying the member's own occurrence number.
struct eventGroup {
    std::vector<timeEvent*> events;
    OccurrenceIndex index;
};

class songScore {
public:
    static constexpr int EVENT_COUNT = 1318;
    static constexpr int TRACK_COUNT = 28;
    static constexpr int GROUP_COUNT = 25;
    static constexpr int JUDGE_COUNT = 7;

    songScore();
    ~songScore();
    songScore(const songScore&) = delete;
    songScore& operator=(const songScore&) = delete;

    // Creates the section, gives every score event and track its data and
    // appends the 28 tracks in ascending id order. Called once; the score
    // owns the returned section. Bad score data throws std::logic_error.
    timeEventSection* buildSong();

    // Fills the 25 groups from the occurrences of the section's first start,
    // binds the seven judges to the world and sets songLengthMs. Runs once
    // per score: later calls change nothing.
    void bindGroups(gameWorld* world);

    // Adds one index entry for every occurrence of every event of list.
    static void mergeOccurrences(const std::vector<timeEvent*>& list, OccurrenceIndex& index);

    // Applies the leaf and composite definitions of one track's block.
    void buildTrackNotes(int trackId);
    // Resets the track member to a fresh track with that id and appends its
    // children; returns the member.
    timeEventTrack& buildTrack(int trackId);

    // Score event n, 0 to 1317.
    timeEvent& event(int n) { return events.at(n); }
    const timeEvent& event(int n) const { return events.at(n); }
    // The track member with this id (0 to 29 without 18 and 26).
    timeEventTrack& track(int id);

    // Track ids in song order.
    static const std::array<int, TRACK_COUNT>& trackIds();

    // Score events named by the level director's rules.
    timeEvent& track1RestA() { return events[18]; }
    timeEvent& track1RestB() { return events[29]; }
    timeEvent& track6Rest() { return events[171]; }
    timeEvent& track3Phrase() { return events[121]; }
    timeEvent& track10Bar() { return events[285]; }
    timeEvent& track4Phrase() { return events[159]; }
    timeEvent& track9Phrase() { return events[259]; }
    timeEvent& track14Bar() { return events[606]; }
    timeEvent& track16Phrase() { return events[633]; }
    timeEvent& track19Note() { return events[650]; }
    timeEvent& track15Bar() { return events[621]; }
    timeEvent& track20Note() { return events[676]; }
    timeEvent& track20Bar() { return events[706]; }
    timeEvent& track14Section() { return events[609]; }
    timeEvent& track17Phrase() { return events[645]; }

    // Groups that game rules name.
    eventGroup& shipNoteGroup() { return groups[0]; }
    eventGroup& markerGroup() { return groups[1]; }
    eventGroup& blockerPairGroup() { return groups[5]; }
    eventGroup& tentacleNoteGroupB() { return groups[9]; }
    eventGroup& tentacleNoteGroup() { return groups[10]; }
    eventGroup& beeWaveGroup() { return groups[12]; }
    eventGroup& tentheadNoteGroupA() { return groups[13]; }
    eventGroup& rhythmPattern1() { return groups[14]; }
    eventGroup& rhythmPattern2() { return groups[15]; }
    eventGroup& rhythmPattern3() { return groups[16]; }
    eventGroup& rhythmPattern4() { return groups[17]; }
    eventGroup& rhythmPattern5() { return groups[18]; }
    eventGroup& tentheadNoteGroupB() { return groups[23]; }

    std::array<eventGroup, GROUP_COUNT> groups;
    std::array<rhythm, JUDGE_COUNT> judges;
    // 360,000 ms once bindGroups has run; -1 before.
    int songLengthMs = -1;
    std::array<timeEvent, EVENT_COUNT> events;
    std::array<timeEventTrack, TRACK_COUNT> tracks;   // in song order
    timeEventSection* section = nullptr;               // owned
    bool groupsBound = false;
};
