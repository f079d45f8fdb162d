#include "song/rhythm.h"

#include "song/timeEvent.h"
#include "song/timeEventSection.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

rhythm::rhythm() { init(nullptr, nullptr); }

void rhythm::init(const Pattern* notes, gameWorld* owner)
{
    world = owner;
    pattern = notes;
    running = false;
    cursor = 0;
    windowStart = -2;
    windowEnd = -2;
    loops = 0;
    watchedEvent = EVENT_FIRED;
    windowOpen = false;
    windowOffset = -150;
    windowLength = 400;
    shotSeen = false;
    strayShots = 0;
    maxStrayShots = 2;
    missedChecks = 0;
    maxMissedChecks = 1;
    hitsInWindow = 0;
    maxHitsInWindow = 1;
}

bool rhythm::isPerfect() const { return hitsInWindow == 1 && windowOpen; }

bool rhythm::shotInsideWindow() const
{
    return windowStart != -2 && windowEnd != -2 && windowStart <= world->now && world->now < windowEnd;
}

void rhythm::update()
{
    events.clear();
    const simulationObject* player = world->player;
    shotSeen = player != nullptr && player->hasEvent(watchedEvent);
    checkWindow();

    if (!running) {
        if (!shotSeen || !shotInsideWindow())
            return;
        ++hitsInWindow;
        if (hitsInWindow <= maxHitsInWindow) {
            advance();
            startRun();
        }
        return;
    }

    bool ok = true;
    if (shotSeen) {
        ok = countShot();
    } else if (windowEnd != -2 && world->now >= windowEnd) {
        ++missedChecks;
        ok = missedChecks <= maxMissedChecks;
    }
    if (!ok) {
        resetRun();
        return;
    }
    if (shotSeen && shotInsideWindow())
        advance();
}

bool rhythm::countShot()
{
    if (shotInsideWindow()) {
        ++hitsInWindow;
        return hitsInWindow <= maxHitsInWindow;
    }
    ++strayShots;
    return strayShots <= maxStrayShots;
}

void rhythm::checkWindow()
{
    if (cursorAtEnd())
        return;
    if (windowEnd != -2 && windowEnd > world->now)
        return;
    setWindow(false);
    const timeEvent* note = (*pattern)[cursor];
    if (world->section != nullptr
        && occurredInWindow(*note, *world->section, WindowQuery().offset(windowOffset))) {
        windowEnd = world->now + windowLength;
        windowStart = world->now;
        setWindow(true);
    }
}

void rhythm::setWindow(bool open)
{
    if (open == windowOpen)
        return;
    windowOpen = open;
    if (open) {
        hitsInWindow = 0;
        report(EVENT_WINDOW_OPENED);
    } else {
        report(EVENT_WINDOW_CLOSED);
    }
}

void rhythm::startRun()
{
    running = true;
    if (pattern != nullptr)
        cursor = 0;
    strayShots = 0;
    report(EVENT_RUN_STARTED);
}

void rhythm::resetRun()
{
    if (pattern != nullptr)
        cursor = 0;
    loops = 0;
    strayShots = 0;
    running = false;
    windowOpen = false;
    hitsInWindow = 0;
    missedChecks = 0;
    windowStart = -2;
    windowEnd = -2;
    report(EVENT_RUN_RESET);
}

void rhythm::advance()
{
    windowStart = -2;
    windowEnd = -2;
    if (pattern == nullptr || pattern->empty())
        return;
    if (cursor < pattern->size())
        ++cursor;
    if (cursor >= pattern->size()) {
        ++loops;
        report(EVENT_PATTERN_COMPLETED);
        cursor = 0;
    }
    if (!pattern->empty() && (*pattern)[cursor] == pattern->back())
        report(EVENT_LAST_NOTE_REACHED);
}
