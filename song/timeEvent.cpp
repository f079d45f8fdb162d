#include "song/timeEvent.h"

timeEvent::timeEvent(int durationMs, float noteValue) : duration(durationMs), value(noteValue) {}

timeEvent& timeEvent::operator=(const timeEvent& other)
{
    if (this != &other) {
        children = other.children;
        occurrences = other.occurrences;
        duration = other.duration;
        value = other.value;
    }
    return *this;
}

timeEvent::~timeEvent() = default;

int timeEvent::getDuration()
{
    if (duration >= 0)
        return duration;
    if (children.empty())
        return -1;
    int sum = 0;
    bool complete = true;
    for (timeEvent* child : children) {
        const int d = child->getDuration();
        if (d >= 0)
            sum += d;
        else
            complete = false;
    }
    // A sum that left out an unset child would be wrong once that child gets
    // its length; keep it only when every child had one.
    if (complete)
        duration = sum;
    return sum;
}

void timeEvent::addChild(timeEvent* child) { children.push_back(child); }

float timeEvent::getValue() const { return value; }

void timeEvent::setValue(float newValue) { value = newValue; }

void timeEvent::clearOccurrences()
{
    occurrences.clear();
    for (timeEvent* child : children)
        child->clearOccurrences();
}

void timeEvent::layOut(int startMs)
{
    int pos = startMs;
    for (timeEvent* child : children) {
        child->layOut(pos);
        pos += child->getDuration();
    }
    // A multimap puts a new entry after those with an equal key, so numbers
    // follow placement order even for equal start times.
    const int number = static_cast<int>(occurrences.size()) + 1;
    occurrences.emplace_hint(occurrences.end(), startMs, number);
    if (duration == -1)
        duration = pos - startMs;
}

timeEventTrack::timeEventTrack(int trackId, int trackStartMs)
    : timeEvent(-1, -1.0f), id(trackId), startMs(trackStartMs)
{
}

timeEventTrack& timeEventTrack::operator=(const timeEventTrack& other)
{
    if (this != &other) {
        timeEvent::operator=(other);
        id = other.id;
        startMs = other.startMs;
    }
    return *this;
}

timeEventTrack::~timeEventTrack() = default;
