#pragma once
// One game on the tube. (Skeleton: the song clock, player and section that
// the rhythm judges read; the full world extends it.)
#include "world/simulationObject.h"

class kestor;
class songScore;
class timeEventSection;

enum WorldPhase {
    PHASE_READY = 0,
    PHASE_PLAYING = 1,
    PHASE_WON = 3,
    PHASE_LOST = 4,
    PHASE_PAUSED = 5,
    PHASE_SETTING_UP = 6,
    PHASE_CONSTRUCTING = 7,
};

class gameWorld {
public:
    // A world with no score, player or section, for tests that supply their own.
    struct bare_t {};
    explicit gameWorld(bare_t);
    ~gameWorld();
    gameWorld(const gameWorld&) = delete;
    gameWorld& operator=(const gameWorld&) = delete;

    ::songScore* songScore = nullptr;
    int phase = PHASE_CONSTRUCTING;
    int now = -2;
    int clockOffset = 0;
    kestor* player = nullptr;
    timeEventSection* section = nullptr;
};
