// The same game at every frame rate: whole songs played with the same keys
// in song time, at render frames of 1, 8, 16 and 33 ms and at irregular
// frames with half-second stalls, launch the same waves at the same song
// times, see the same shots from every kind of enemy (the boss ships' varied
// shots among them, also across pauses), the same hits on the player, the
// same score and the same end.
#include "worldHarness.h"

#include <gtest/gtest.h>

#include "song/timeEventSection.h"
#include "world/sharedConstants.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

using harness::Game;

namespace {

using harness::KEY_PERIOD_MS;

enum class Keys { none, protectedPlayer, player, protectedBossHunter, protectedHoldingFire };

struct Tally {
    int phase = -1;
    int finalNow = 0;
    int lives = 0;
    int livesLost = 0;
    int extraLives = 0;
    int playerDamageSeen = 0;
    int score = 0;
    int kills = 0;
    long steps = 0;
    int renderFrames = 0;
    int enemyBullets = 0;
    std::map<int, int> shotsByKind;  // type code -> EVENT_FIRED codes seen
    int tentaclePowerShots = 0;
    std::map<int, int> powerShotsByKind;  // type code -> EVENT_POWER_SHOT codes seen
    int headBullets = 0;
    int turnedHeadBullets = 0;  // of a volley turned an eighth of the way round
    std::vector<std::vector<int>> launches;
};

std::vector<std::vector<int>> launchTimes()
{
    return {asteroidWave.launchTimesMs,  beeWave.launchTimesMs,       blockerWave.launchTimesMs,
            dragonflyWave.launchTimesMs, mosquitoWave.launchTimesMs,  flowerWave.launchTimesMs,
            scorpionWave.launchTimesMs,  snakeWaveA.launchTimesMs,    snakeWaveB.launchTimesMs,
            spikeWave.launchTimesMs,     tentacleWaveA.launchTimesMs, tentheadWaveA.launchTimesMs,
            tentacleWaveB.launchTimesMs, tentheadWaveB.launchTimesMs};
}

void countCodes(const mobileObject& o, Tally& t, const gameWorld& w)
{
    for (int code : o.frameEvents) {
        if (code == EVENT_FIRED)
            ++t.shotsByKind[o.type];
        if (code == EVENT_ADDED && o.type == TYPE_BULLET && o.side == 0)
            ++t.enemyBullets;
        if (code == EVENT_DAMAGED && &o == static_cast<const mobileObject*>(w.player))
            ++t.playerDamageSeen;
        if (code == EVENT_POWER_SHOT && o.type == TYPE_TENTACLE)
            ++t.tentaclePowerShots;
        if (code == EVENT_POWER_SHOT)
            ++t.powerShotsByKind[o.type];
    }
    if (o.hasFrameEvent(EVENT_ADDED) && shooterTypeOf(&o) == TYPE_TENTHEAD) {
        // The heads stand at u = 0.5 and fly straight along the tube: their
        // volleys lie on the quarters of the tube, or half-way between them
        // when turned.
        ++t.headBullets;
        const float offQuarter = std::fmod(o.position.u + 0.5f, 0.25f);
        if (std::fabs(offQuarter - 0.125f) < 0.01f)
            ++t.turnedHeadBullets;
        else
            EXPECT_TRUE(offQuarter < 0.01f || offQuarter > 0.24f) << "a head's bullet at u " << o.position.u;
    }
}

// Pauses of the game: every everyMs of song time, or at each song time of
// atMs; each some frames long, resumed with the music shiftMs further on
// than where it was paused. And one stall: a render frame of stallMs at
// stallAtMs, the music playing on.
struct Pauses {
    int everyMs = 0;
    int shiftMs = 0;
    std::vector<int> atMs;
    int stallAtMs = -1;
    int stallMs = 0;
};

// Render frame lengths: frame index and song time at its start -> ms.
using Schedule = std::function<int(int, int)>;

Schedule every(int ms)
{
    return [ms](int, int) { return ms; };
}

// 0 to 97 ms, and at the start of every 29th key period a stall of 500 ms.
int irregular(int frame, int songMs)
{
    if (songMs % (29 * KEY_PERIOD_MS) == 0 && songMs > 0)
        return 500;
    const unsigned h = static_cast<unsigned>(frame) * 2654435761u;
    return static_cast<int>((h >> 16) % 98);
}

Tally play(const Schedule& lengthOf, Keys keys, int stopAtMs = INT_MAX, Pauses pauses = {})
{
    Game game;
    Tally t;
    harness::PeriodKeys script;
    int lastStall = -1;
    int stalls = 0;
    size_t nextPause = 0;
    bool fireHeld = false;
    while (!game.over() && game.music < stopAtMs) {
        gameWorld& w = *game.world;
        if (keys == Keys::protectedPlayer || keys == Keys::none || keys == Keys::protectedHoldingFire) {
            // Never hittable: a whole song to its end rule or its win.
            w.player->respawning = true;
            w.player->invulnerableUntil = INT_MAX;
        }
        const bool periodStart = game.music % KEY_PERIOD_MS == 0;
        if (keys == Keys::protectedBossHunter) {
            w.player->respawning = true;
            w.player->invulnerableUntil = INT_MAX;
            // Helped at every key instant: the tentacles of both heads fall
            // at once, so the heads lie open to the player's shots.
            if (periodStart)
                for (mobileObject* o : w.objects)
                    if (o->type == TYPE_TENTACLE)
                        o->pendingDamage = 1000.0f;
        }
        if (keys == Keys::protectedHoldingFire) {
            // Space pressed once and held for the whole song, as the screen
            // polls it: a tap, then held shots.
            w.player->fireRequested = true;
            w.player->fireKind = fireHeld ? 1 : 0;
            fireHeld = true;
        } else if (keys != Keys::none) {
            if (periodStart)
                script.decide(w);
            script.press(*w.player, periodStart);
        }
        const bool pauseDue = pauses.everyMs > 0 ? game.music > 0 && game.music % pauses.everyMs == 0
                                                 : nextPause < pauses.atMs.size() && game.music >= pauses.atMs[nextPause];
        if (pauseDue) {
            ++nextPause;
            game.pause();
            for (int i = 0; i < 40; ++i)
                game.frame(16);
            game.music += pauses.shiftMs;
            game.resume();
        }
        int ms = lengthOf(t.renderFrames, game.music);
        const int nextPeriod = (game.music / KEY_PERIOD_MS + 1) * KEY_PERIOD_MS;
        ms = std::min({ms, nextPeriod - game.music, stopAtMs - game.music});
        // Frames end where a pause or the stall is due, at odd song times.
        if (nextPause < pauses.atMs.size() && pauses.atMs[nextPause] > game.music)
            ms = std::min(ms, pauses.atMs[nextPause] - game.music);
        if (pauses.stallAtMs > game.music)
            ms = std::min(ms, pauses.stallAtMs - game.music);
        else if (pauses.stallAtMs == game.music)
            ms = pauses.stallMs;
        if (ms >= 500 && game.music != lastStall) {
            lastStall = game.music;
            ++stalls;
        }
        game.frame(ms);
        ++t.renderFrames;
        for (const mobileObject* o : w.objects)
            countCodes(*o, t, w);
        for (const mobileObject* o : w.removedObjects)
            countCodes(*o, t, w);
        const std::string bad = harness::checkInvariants(w);
        if (!bad.empty()) {
            ADD_FAILURE() << bad << " at song time " << w.now;
            break;
        }
    }
    if (lengthOf(1, 29 * KEY_PERIOD_MS) == 500 && stopAtMs == INT_MAX) {
        EXPECT_GT(stalls, 10);
    }
    const gameWorld& w = *game.world;
    t.phase = w.phase;
    t.finalNow = w.now;
    t.lives = w.player->lives;
    t.extraLives = w.player->extraLifeCount;
    t.livesLost = START_LIVES + w.player->extraLifeCount - w.player->lives;
    t.score = w.player->scoreValue;
    t.kills = tentheadKills;
    t.steps = w.stepsRun;
    t.launches = launchTimes();
    return t;
}

std::string describe(const Tally& t)
{
    std::string s = "phase " + std::to_string(t.phase) + ", score " + std::to_string(t.score) + ", lives "
        + std::to_string(t.lives) + ", lost " + std::to_string(t.livesLost) + ", kills "
        + std::to_string(t.kills) + ", enemy bullets " + std::to_string(t.enemyBullets) + ", shots";
    for (const auto& k : t.shotsByKind)
        s += " " + std::to_string(k.first) + ":" + std::to_string(k.second);
    return s;
}

void expectSameGame(const Tally& a, const Tally& b, const std::string& what)
{
    EXPECT_EQ(a.phase, b.phase) << what;
    EXPECT_EQ(a.finalNow, b.finalNow) << what;
    EXPECT_EQ(a.steps, b.steps) << what;
    EXPECT_EQ(a.launches, b.launches) << what;
    EXPECT_EQ(a.shotsByKind, b.shotsByKind) << what;
    EXPECT_EQ(a.tentaclePowerShots, b.tentaclePowerShots) << what;
    EXPECT_EQ(a.powerShotsByKind, b.powerShotsByKind) << what;
    EXPECT_EQ(a.turnedHeadBullets, b.turnedHeadBullets) << what;
    EXPECT_EQ(a.enemyBullets, b.enemyBullets) << what;
    EXPECT_EQ(a.livesLost, b.livesLost) << what;
    EXPECT_EQ(a.extraLives, b.extraLives) << what;
    EXPECT_EQ(a.playerDamageSeen, b.playerDamageSeen) << what;
    EXPECT_EQ(a.lives, b.lives) << what;
    EXPECT_EQ(a.score, b.score) << what;
    EXPECT_EQ(a.kills, b.kills) << what;
    if (::testing::Test::HasFailure())
        ADD_FAILURE() << what << "\n  16 ms: " << describe(a) << "\n  other: " << describe(b);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
// Under the sanitizers a game costs some thirty times more: there the song
// is played to 227 key periods, about two minutes: the first head with its
// tentacles and every wave before it.
constexpr int shortened = sanitized ? 227 * KEY_PERIOD_MS : INT_MAX;

// Every schedule against 16-ms frames.
void expectSameAtEveryFrameRate(Keys keys, const Tally& reference)
{
    const int stop = shortened;
    for (int ms : {1, 8, 33})
        expectSameGame(reference, play(every(ms), keys, stop), std::to_string(ms) + "-ms frames");
    expectSameGame(reference, play(irregular, keys, stop), "irregular frames");
}

int enemyShots(const Tally& t)
{
    int n = 0;
    for (const auto& k : t.shotsByKind)
        if (k.first != TYPE_PLAYER)
            n += k.second;
    return n;
}

} // namespace

TEST(SameGameAtEveryFrameRate, NoInput)
{
    // Nothing steers or fires; the enemies' fire alone shows the rules.
    const Tally r = play(every(16), Keys::none, shortened);
    if (!sanitized) {
        EXPECT_EQ(r.phase, PHASE_LOST);  // by the end rule: no head fell
        EXPECT_EQ(r.finalNow, 383008);
    }
    EXPECT_GT(r.shotsByKind.count(TYPE_MOSQUITO) ? r.shotsByKind.at(TYPE_MOSQUITO) : 0, 0);
    EXPECT_EQ(r.shotsByKind.count(TYPE_PLAYER), 0u);
    expectSameAtEveryFrameRate(Keys::none, r);
}

TEST(SameGameAtEveryFrameRate, ProtectedPlayer)
{
    const Tally r = play(every(16), Keys::protectedPlayer, shortened);
    if (!sanitized) {
        EXPECT_EQ(r.phase, PHASE_LOST);  // no head fell: the end rule
        EXPECT_EQ(r.finalNow, 383008);   // at the first step from 383,000 ms
        EXPECT_GT(r.extraLives, 0);
    }
    EXPECT_GT(r.shotsByKind.at(TYPE_PLAYER), 100);
    EXPECT_GT(enemyShots(r), 100);
    EXPECT_GT(r.score, 10000);
    expectSameAtEveryFrameRate(Keys::protectedPlayer, r);
}

TEST(SameGameAtEveryFrameRate, PlayerThatCanBeHit)
{
    const Tally r = play(every(16), Keys::player, shortened);
    if (!sanitized) {
        EXPECT_EQ(r.phase, PHASE_LOST);
        EXPECT_EQ(r.lives, 0);
    }
    EXPECT_GT(r.livesLost, 0);
    EXPECT_GT(r.playerDamageSeen, 0);
    expectSameAtEveryFrameRate(Keys::player, r);
}

TEST(SameGameAtEveryFrameRate, ProtectedPlayerDownsBothHeadsAndFliesOut)
{
    const Tally r = play(every(16), Keys::protectedBossHunter, shortened);
    if (!sanitized) {
        EXPECT_EQ(r.phase, PHASE_WON);
        EXPECT_EQ(r.kills, 2);
        EXPECT_EQ(r.finalNow, 391200);  // the first step past the end of the score
        EXPECT_GT(r.lives, 0);
    }
    expectSameAtEveryFrameRate(Keys::protectedBossHunter, r);
}

namespace {

// Roughly half of the boss ships' shots vary, and some do not.
void expectBossShotsVary(const Tally& t, const std::string& what)
{
    const int tentacleShots = t.shotsByKind.count(TYPE_TENTACLE) ? t.shotsByKind.at(TYPE_TENTACLE) : 0;
    ASSERT_GT(tentacleShots, 20) << what;
    EXPECT_GE(t.tentaclePowerShots, tentacleShots * 3 / 10) << what;
    EXPECT_LE(t.tentaclePowerShots, tentacleShots * 7 / 10) << what;
    // The heads fire once their tentacles are down to two: late in the song,
    // past the stretch the sanitizer builds play.
    if (sanitized)
        return;
    ASSERT_GT(t.headBullets, 20) << what;
    EXPECT_GE(t.turnedHeadBullets, t.headBullets * 3 / 10) << what;
    EXPECT_LE(t.turnedHeadBullets, t.headBullets * 7 / 10) << what;
}

} // namespace

TEST(SameGameAtEveryFrameRate, BossShotsVaryEverySecondShotWhateverTheFramesAndPauses)
{
    // Whole songs with nobody steering or firing: both heads and all their
    // tentacles live to fire.
    const Tally r = play(every(16), Keys::none, shortened);
    expectBossShotsVary(r, "16-ms frames");
    for (int ms : {1, 33}) {
        const Tally t = play(every(ms), Keys::none, shortened);
        EXPECT_EQ(t.tentaclePowerShots, r.tentaclePowerShots) << ms << "-ms frames";
        EXPECT_EQ(t.turnedHeadBullets, r.turnedHeadBullets) << ms << "-ms frames";
    }
    // Paused every 29 key periods and resumed where the music stood: the
    // same game.
    Pauses paused;
    paused.everyMs = 29 * KEY_PERIOD_MS;
    expectSameGame(r, play(every(16), Keys::none, shortened, paused), "paused");
    // Resumed with the music a millisecond on: the steps keep their grid,
    // and it is the same game.
    Pauses offByOne = paused;
    offByOne.shiftMs = 1;
    expectSameGame(r, play(every(16), Keys::none, shortened, offByOne), "resumed off by 1 ms");
}

TEST(SameGameAcrossPauses, MusicOffAtTheResumesOrAStallChangeNothing)
{
    // Three pauses at odd song times, each resumed with the music off by as
    // much against where song time stopped: a song played on the wall clock
    // drifts from the sound device's clock by such amounts. Under the
    // sanitizers the song is shortened and only the first two are reached.
    const std::vector<int> pausesAt = {23457, 98771, 250013};
    // The stall holds the game's thread for 3 s while the music plays on,
    // over the launch of the first snake wave.
    const int stallAt = 91283;
    for (Keys keys : {Keys::none, Keys::protectedHoldingFire}) {
        const std::string who = keys == Keys::none ? "passive player" : "player holding fire";
        const Tally r = play(every(16), keys, shortened);
        for (int shift : {-40, -16, -1, 1, 40, 1000}) {
            Pauses p;
            p.atMs = pausesAt;
            p.shiftMs = shift;
            expectSameGame(r, play(every(16), keys, shortened, p), who + ", music off by " + std::to_string(shift));
        }
        Pauses stall;
        stall.stallAtMs = stallAt;
        stall.stallMs = 3000;
        expectSameGame(r, play(every(16), keys, shortened, stall), who + ", a 3-s stall");
    }
}
