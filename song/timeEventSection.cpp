#include "song/timeEventSection.h"

#include "song/timeEvent.h"

timeEventSection::timeEventSection() = default;

timeEventSection::~timeEventSection() = default;

int timeEventSection::getDuration()
{
    if (duration >= 0)
        return duration;
    int result = 0;
    bool complete = !tracks.empty();
    for (timeEventTrack* track : tracks) {
        const int d = track->getDuration();
        if (d < 0)
            complete = false;
        else if (d > result)
            result = d;
    }
    // Kept only once it is final: a length cached before the tracks are in
    // would end the game on its first frame.
    if (complete)
        duration = result;
    return result;
}

void timeEventSection::start(int t)
{
    for (timeEventTrack* track : tracks) {
        track->startMs = t;
        track->occurrences.clear();
        track->clearOccurrences();
    }
    previousFrameMs = t - 1;
    currentFrameMs = t - 1;
    rebuild();
}

void timeEventSection::rebuild()
{
    for (timeEventTrack* track : tracks)
        track->layOut(track->startMs);
}
