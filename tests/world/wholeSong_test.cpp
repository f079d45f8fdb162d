// Whole games, headless, from the first frame to won or lost, at several
// frame lengths, with the world's invariants checked after every frame.
#include "worldHarness.h"

#include <gtest/gtest.h>

#include "song/songScore.h"
#include "song/timeEventSection.h"
#include "world/sharedConstants.h"

#include <climits>
#include <functional>

using harness::Game;

namespace {

// One wave launch: which template, and the frame window it happened in.
struct Launch {
    int wave;
    int windowLow;
    int windowHigh;
};

std::vector<int> launchCounts()
{
    return {asteroidWave.wavesLaunched,  beeWave.wavesLaunched,       blockerWave.wavesLaunched,
            dragonflyWave.wavesLaunched, mosquitoWave.wavesLaunched,  flowerWave.wavesLaunched,
            scorpionWave.wavesLaunched,  snakeWaveA.wavesLaunched,    snakeWaveB.wavesLaunched,
            spikeWave.wavesLaunched,     tentacleWaveA.wavesLaunched, tentheadWaveA.wavesLaunched,
            tentacleWaveB.wavesLaunched, tentheadWaveB.wavesLaunched};
}

struct Outcome {
    int phase = -1;
    int finalNow = 0;
    int previousNow = 0;
    int livesBefore = 0;
    int scoreBefore = 0;
    int lives = 0;
    int score = 0;
    int kills = 0;
    int frames = 0;
    std::vector<Launch> launches;
};

// Plays a whole game. stepOf gives each frame's length; protectPlayer keeps
// the player in its protected respawn state (it can steer and fire, but no
// bullet or ship can touch it) - the test's way to a player that survives.
Outcome play(const std::function<int(int)>& stepOf, bool input, bool protectPlayer,
             const std::function<void(Game&, int)>& beforeFrame = nullptr, int stopAtMs = INT_MAX)
{
    Game game;
    Outcome out;
    std::vector<int> counts = launchCounts();
    while (!game.over()) {
        gameWorld& w = *game.world;
        if (protectPlayer) {
            w.player->respawning = true;
            w.player->invulnerableUntil = INT_MAX;
        }
        if (input)
            harness::scriptedPlayer(w, out.frames);
        if (beforeFrame)
            beforeFrame(game, out.frames);
        out.previousNow = w.now;
        out.livesBefore = w.player->lives;
        out.scoreBefore = w.player->scoreValue;
        game.frame(stepOf(out.frames));
        ++out.frames;
        const std::string bad = harness::checkInvariants(w);
        if (!bad.empty()) {
            ADD_FAILURE() << bad << " at frame " << out.frames << ", song time " << w.now;
            break;
        }
        const std::vector<int> now = launchCounts();
        for (size_t i = 0; i < now.size(); ++i)
            for (int k = counts[i]; k < now[i]; ++k)
                out.launches.push_back({static_cast<int>(i), w.section->previousFrameMs, w.section->currentFrameMs});
        counts = now;
        if (w.now >= stopAtMs)
            break;
        if (out.frames > 2000000) {
            ADD_FAILURE() << "game does not end";
            break;
        }
    }
    out.phase = game.world->phase;
    out.finalNow = game.world->now;
    out.lives = game.world->player->lives;
    out.score = game.world->player->scoreValue;
    out.kills = tentheadKills;
    return out;
}

int fixed16(int) { return 16; }

// The same waves, launched on the same score occurrences: launch k of a
// template happened in frame windows that share time.
void expectSameLaunches(const Outcome& a, const Outcome& b, const char* what)
{
    ASSERT_EQ(a.launches.size(), b.launches.size()) << what;
    for (size_t k = 0; k < a.launches.size(); ++k) {
        const Launch& x = a.launches[k];
        const Launch& y = b.launches[k];
        EXPECT_EQ(x.wave, y.wave) << what << " launch " << k;
        EXPECT_TRUE(x.windowLow < y.windowHigh && y.windowLow < x.windowHigh)
            << what << " launch " << k << ": (" << x.windowLow << ", " << x.windowHigh << "] vs (" << y.windowLow
            << ", " << y.windowHigh << "]";
    }
}

void expectWon(const Outcome& o, const char* what)
{
    const int songEnd = 391199;  // the end of the longest track
    EXPECT_EQ(o.phase, PHASE_WON) << what;
    EXPECT_EQ(o.kills, 2) << what;
    // The first frame past the end of the score.
    EXPECT_GT(o.finalNow, songEnd) << what;
    EXPECT_LE(o.previousNow, songEnd) << what;
    EXPECT_EQ(o.lives, o.livesBefore) << what;
    EXPECT_GT(o.lives, 0) << what;
    EXPECT_EQ(o.score, o.scoreBefore + 20000 * o.lives) << what;
}

const Outcome& reference()
{
    static const Outcome run = play(fixed16, true, true);
    return run;
}

} // namespace

TEST(WholeSong, ProtectedScriptedPlayerWinsAt16ms)
{
    const Outcome& o = reference();
    expectWon(o, "16 ms");
    EXPECT_GT(o.launches.size(), 50u);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

TEST(WholeSong, SameWavesAndOutcomeAt1msFrames)
{
    if (!sanitized) {
        const Outcome o = play([](int) { return 1; }, true, true);
        expectWon(o, "1 ms");
        expectSameLaunches(reference(), o, "1 ms");
        return;
    }
    // Under the sanitizers a frame costs some thirty times more: 391,200 of
    // them would take minutes. Play the first 100 s (the first head and
    // its tentacles, and every wave before) and compare what launched.
    const int stop = 100000;
    Outcome o = play([](int) { return 1; }, true, true, nullptr, stop);
    Outcome r = reference();
    size_t inStretch = 0;
    while (inStretch < r.launches.size() && r.launches[inStretch].windowHigh <= stop)
        ++inStretch;
    r.launches.resize(inStretch);
    EXPECT_GT(inStretch, 10u);
    expectSameLaunches(r, o, "1 ms, first 100 s");
}

TEST(WholeSong, SameWavesAndOutcomeAt33msFrames)
{
    const Outcome o = play([](int) { return 33; }, true, true);
    expectWon(o, "33 ms");
    expectSameLaunches(reference(), o, "33 ms");
}

TEST(WholeSong, SameWavesAndOutcomeAtIrregularFrames)
{
    // Frames of 0 to 97 ms, with an occasional stall of half a second.
    const Outcome o = play(
        [](int frame) {
            const unsigned h = static_cast<unsigned>(frame) * 2654435761u;
            return frame % 997 == 500 ? 500 : static_cast<int>((h >> 16) % 98);
        },
        true, true);
    expectWon(o, "irregular");
    expectSameLaunches(reference(), o, "irregular");
}

TEST(WholeSong, PauseAndResumeLaunchTheSameWaves)
{
    // Pause at song time 100 s for 5 s of wall time, then resume at the
    // music's position: every launch falls in exactly the same window.
    bool paused = false;
    size_t removedWhilePaused = 0;
    const Outcome o = play(fixed16, true, true, [&](Game& game, int frame) {
        if (!paused && game.world->now >= 100000) {
            paused = true;
            removedWhilePaused = game.world->removedObjects.size();
            game.pause();
            for (int i = 0; i < 300; ++i) {
                game.frame(16);
                EXPECT_EQ(game.world->removedObjects.size(), removedWhilePaused);
            }
            game.resume();
        }
    });
    ASSERT_TRUE(paused);
    expectWon(o, "paused");
    const Outcome& r = reference();
    ASSERT_EQ(o.launches.size(), r.launches.size());
    for (size_t k = 0; k < r.launches.size(); ++k) {
        EXPECT_EQ(o.launches[k].wave, r.launches[k].wave);
        EXPECT_EQ(o.launches[k].windowHigh, r.launches[k].windowHigh) << "launch " << k;
    }
}

TEST(WholeSong, NoInputIsLost)
{
    // Nobody steers or fires: the asteroid waves, aimed at the start
    // position, take the lives one by one.
    const Outcome o = play(fixed16, false, false);
    EXPECT_EQ(o.phase, PHASE_LOST);
    EXPECT_EQ(o.lives, 0);
    EXPECT_EQ(o.kills, 0);
    EXPECT_LT(o.finalNow, END_RULE_TIME_MS);
}

TEST(WholeSong, ProtectedNoInputIsLostByTheEndRule)
{
    // The player survives but no head falls: lost at the first frame from
    // 383,000 ms, with lives left.
    const Outcome o = play([](int) { return 33; }, false, true);
    EXPECT_EQ(o.phase, PHASE_LOST);
    EXPECT_EQ(o.kills, 0);
    EXPECT_GT(o.lives, 0);
    EXPECT_GE(o.finalNow, END_RULE_TIME_MS);
    EXPECT_LT(o.previousNow, END_RULE_TIME_MS);
}
