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
        world->anchor(musicMs);
    }

    // Song time and the last step jump to songMs, for a test that starts at
    // a moment of the song without playing up to it: the next step's window
    // spans the jumped stretch.
    void jump(int songMs)
    {
        music = songMs;
        world->now = songMs;
        world->clockOffset = songMs - static_cast<int>(plat::clock());
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

// Scripted keys that change only every 528 ms of song time: a whole number
// of 16-ms steps and of 33-ms frames, so render frames of 1, 8, 16 or 33 ms
// all poll the keys at those instants, and between them every render frame
// reads the same keys. (A key that changes inside a render frame is seen by
// the world only when the frame polls it, so no script that is the same for
// every frame rate can change keys anywhere else.)
constexpr int KEY_PERIOD_MS = 528;

// Aims at chooseTarget once a period, from the world as it stands then:
// steers the whole period toward the target when that ends nearer to it;
// taps fire at the start of the period and holds the key for the rest.
struct PeriodKeys {
    int steer = 0;
    void decide(const gameWorld& world);
    // The keys of one render frame; periodStart: the frame starts a period.
    void press(kestor& player, bool periodStart) const;
};

} // namespace harness
