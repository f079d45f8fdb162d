#pragma once
// Drives whole games headless: a manual clock, a world anchored to a music
// position equal to song time, and a scripted player.
#include "platform/clock.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/mobileObject.h"


#include <memory>
#include <string>
#include <vector>

namespace harness {

// One game, its clock and the song position of its music.
class Game {
public:
    explicit Game(long clockStartMs = 100000) : clock(clockStartMs), world(new gameWorld())
    {
        anchor(0);
    }

    // What the play screen does at entry and on resume: song time := the
    // music position.
    void anchor(int musicMs)
    {
        music = musicMs;
        world->now = musicMs;
        world->clockOffset = musicMs - static_cast<int>(plat::clock());
    }

    // One frame of stepMs: the music and the wall clock move together.
    void frame(int stepMs)
    {
        clock.advance(stepMs);
        if (world->phase != PHASE_PAUSED)
            music += stepMs;
        world->update(music);
    }

    void pause() { world->phase = PHASE_PAUSED; }
    void resume()
    {
        world->phase = PHASE_PLAYING;
        anchor(music);
    }

    bool over() const { return world->phase == PHASE_WON || world->phase == PHASE_LOST; }

    plat::ManualClock clock;
    std::unique_ptr<gameWorld> world;
    int music = 0;
};

// The checks that must hold after every frame; returns a description of the
// first one that fails, or an empty string.
std::string checkInvariants(const gameWorld& world);

// Steers toward the nearest boss part or enemy ahead and taps fire as often
// as the cooldown allows.
void scriptedPlayer(gameWorld& world, int frameIndex);

// The ship the scripted players aim at: tentacles first, then an exposed
// head, then the nearest other enemy ahead; none when there is nothing.
const ship* chooseTarget(const gameWorld& world);
// Signed way around the tube from one u to another, in [-0.5, 0.5].
float uDistance(float from, float to);

} // namespace harness
