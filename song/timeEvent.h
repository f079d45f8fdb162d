#pragma once
// The song's timeline: leaves with a length and a note value, composites that
// play their children one after another, and tracks, the top-level composites
// that a section runs in parallel. Laying an event out records, for every
// time it plays, its start time and occurrence number.
#include <map>
#include <vector>

// Start time (ms of song time) -> occurrence number (1 for the first).
// Equal start times keep the order in which they were added.
using OccurrenceIndex = std::multimap<int, int>;

class timeEvent {
public:
    // Leaves are built as (length, value); composites and members that are
    // filled in later as (-1, -1.0).
    explicit timeEvent(int durationMs = -1, float value = -1.0f);
    timeEvent(const timeEvent& other) = default;
    // Copies children (the pointers), occurrences, duration and value; the
    // target keeps its own class.
    timeEvent& operator=(const timeEvent& other);
    virtual ~timeEvent();

    // The length in ms: a set duration, else the sum of the children's
    // (counting every listed repeat), else -1 for a childless unset event.
    virtual int getDuration();
    // Appends child; the same child may be appended any number of times.
    // The event does not own its children.
    virtual void addChild(timeEvent* child);
    virtual float getValue() const;
    virtual void setValue(float newValue);

    // Empties this event's occurrences and those of all its descendants.
    void clearOccurrences();
    // Places one occurrence of this event, and its descendants, at startMs.
    void layOut(int startMs);

    std::vector<timeEvent*> children;
    OccurrenceIndex occurrences;
    int duration;
    float value;
};

class timeEventTrack : public timeEvent {
public:
    explicit timeEventTrack(int trackId = -1, int trackStartMs = -2);
    timeEventTrack(const timeEventTrack& other) = default;
    timeEventTrack& operator=(const timeEventTrack& other);
    ~timeEventTrack() override;

    int id;
    int startMs;
};
