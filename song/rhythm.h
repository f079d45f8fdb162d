#pragma once
// A rhythm judge: follows a pattern of score events and grades the player's
// shots against it. Whenever an occurrence of the cursor's event started
// windowOffset ago, a hit window of windowLength ms opens; a shot inside it
// is a hit. The first hit starts a run, further hits move the cursor along
// the pattern, and stray shots or missed windows reset the run. What
// happened in a frame is reported as SimEvent codes in the judge's own
// events list, which every update empties first.
#include <cstddef>
#include <vector>

#include "world/simulationObject.h"

class timeEvent;

class rhythm : public simulationObject {
public:
    using Pattern = std::vector<timeEvent*>;

    rhythm();

    // Binds the judge to a pattern (not owned; may be none) and a world and
    // resets every field; the event list is left alone.
    void init(const Pattern* notes, gameWorld* owner);
    // One judging step; the world calls it once per frame of play.
    void update();
    // A hit was taken in this frame's open window.
    bool isPerfect() const;

    const Pattern* pattern = nullptr;
    bool running = false;
    std::size_t cursor = 0;          // index into *pattern; its size = at the end
    int windowStart = -2;
    int windowEnd = -2;
    int loops = 0;
    int watchedEvent = EVENT_FIRED;
    bool windowOpen = false;
    int windowOffset = -150;
    int windowLength = 400;
    bool shotSeen = false;
    int strayShots = 0;
    int maxStrayShots = 2;
    int missedChecks = 0;
    int maxMissedChecks = 1;
    int hitsInWindow = 0;
    int maxHitsInWindow = 1;

    // The steps of update, public for the world's and the tests' inspection.
    bool countShot();
    void checkWindow();
    void setWindow(bool open);
    void startRun();
    void resetRun();
    void advance();
    // The current song time lies in [windowStart, windowEnd), both set.
    bool shotInsideWindow() const;

private:
    void report(int code) { events.push_back(code); }
    bool cursorAtEnd() const { return pattern == nullptr || cursor >= pattern->size(); }
};
