// The level's schedule: every frame, the score events that start in the frame
// window (looked ahead by each template's hand-over delay, so that a wave
// reaches its line on the note) launch waves and background markers; from
// the end time on, the end rule decides between a lost game and the fly-out.
#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/sharedConstants.h"

namespace {

constexpr int ANY_MIN = 0;
constexpr int ANY_MAX = 999999;

class Schedule {
public:
    explicit Schedule(gameWorld* w) : world(w), score(*w->songScore), section(*w->section) {}

    // An occurrence of the event in the window, ahead by offsetMs.
    bool event(const timeEvent& e, int offsetMs, int lo = ANY_MIN, int hi = ANY_MAX, int mod = 1, int rem = 0,
               int leadMs = 0) const
    {
        return occurredInWindow(e, section, query(offsetMs, lo, hi, mod, rem, leadMs));
    }

    bool group(const eventGroup& g, int offsetMs, int lo = ANY_MIN, int hi = ANY_MAX, int mod = 1,
               int rem = 0) const
    {
        return groupOccurredInWindow(g.index, section, query(offsetMs, lo, hi, mod, rem, 0));
    }

    void run()
    {
        blockA();
        blockB();
        blockC();
        // Block D: scorpions.
        if (event(score.track20Bar(), scorpionWave.handOverDelayMs, 1, 6, 3, 1))
            scorpionWave.spawn(8);
        // Block E: the second tentacle head.
        if (event(score.track14Section(), tentheadWaveB.handOverDelayMs, 1, 1))
            tentheadWaveB.spawn(1);
        blockF();
        blockG();
        endRule();
    }

private:
    static WindowQuery query(int offsetMs, int lo, int hi, int mod, int rem, int leadMs)
    {
        return WindowQuery().every(mod, rem).offset(offsetMs).lead(leadMs).occurrences(lo, hi);
    }

    void asteroids(const timeEvent& e)
    {
        asteroidWave.spawn(3);
        asteroidWave.spawn(3);
        if (event(e, asteroidWave.handOverDelayMs, ANY_MIN, ANY_MAX, 2, 0))
            asteroidWave.spawn(2);
    }

    void blockA()
    {
        const int asteroidAhead = asteroidWave.handOverDelayMs;
        if (event(score.track1RestA(), asteroidAhead)) {
            asteroids(score.track1RestA());
        } else if (event(score.track1RestB(), asteroidAhead)) {
            asteroids(score.track1RestB());
        } else if (event(score.track6Rest(), mosquitoWave.handOverDelayMs, 1, 9, 4, 1)) {
            mosquitoWave.spawn(8);
        } else if (event(score.track6Rest(), asteroidAhead, 5, 9)) {
            asteroidWave.spawn(3);
            asteroidWave.spawn(3);
        } else if (event(score.track3Phrase(), asteroidAhead, 1, 6)) {
            asteroidWave.spawn(3);
            asteroidWave.spawn(3);
        }
    }

    void blockB()
    {
        if (event(score.track10Bar(), tentheadWaveA.handOverDelayMs, 1, 1)) {
            tentheadWaveA.spawn(1);
        } else if (event(score.track4Phrase(), flowerWave.handOverDelayMs, 9, 99)) {
            flowerWave.spawn(4);
            flowerWave.spawn(4);
        } else if (event(score.track6Rest(), beeWave.handOverDelayMs, 36, 99, 4, 2)) {
            beeWave.spawn(12);
        } else if (event(score.track9Phrase(), blockerWave.handOverDelayMs, 1, 1)) {
            blockerWave.spawn(8);
            blockerWave.spawn(8);
            blockerWave.spawn(8);
        } else if (event(score.track9Phrase(), snakeWaveA.handOverDelayMs, ANY_MIN, ANY_MAX, 2, 0)) {
            snakeWaveA.spawn(16);
            snakeWaveB.spawn(16);
        }
    }

    void blockC()
    {
        if (event(score.track14Bar(), spikeWave.handOverDelayMs, 1, 6)) {
            spikeWave.spawn(6);
        } else if (group(score.beeWaveGroup(), beeWave.handOverDelayMs, 1, 8, 4, 1)) {
            beeWave.spawn(6);
        } else if (group(score.beeWaveGroup(), dragonflyWave.handOverDelayMs, 10, 10)) {
            dragonflyWave.spawn(2);
        } else if (event(score.track16Phrase(), flowerWave.handOverDelayMs, 1, 1)) {
            flowerWave.spawn(4);
        } else if (group(score.blockerPairGroup(), blockerWave.handOverDelayMs)) {
            blockerWave.spawn(2);
            blockerWave.spawn(2);
            blockerWave.spawn(2);
        } else if (event(score.track19Note(), flowerWave.handOverDelayMs, ANY_MIN, ANY_MAX, 4, 0)) {
            flowerWave.spawn(4);
        } else if (event(score.track15Bar(), beeWave.handOverDelayMs, 1, 7, 4, 1)) {
            beeWave.spawn(8);
        } else if (event(score.track20Note(), flowerWave.handOverDelayMs, 5, 5)) {
            flowerWave.spawn(4);
        }
    }

    void blockF()
    {
        // The blockers' own way to the line: trunc(speed * 1000) ms.
        const int blockerLead = static_cast<int>(0.09125f * 1000.0f);
        const int ahead = blockerWave.handOverDelayMs;
        if (event(score.track17Phrase(), ahead, 2, 2, 1, 0, 999999)
            && group(score.tentheadNoteGroupB(), ahead - blockerLead, ANY_MIN, ANY_MAX, 4, 1))
            blockerWave.spawn(15);
    }

    void blockG()
    {
        if (group(score.markerGroup(), LOOKAHEAD_MS) || group(score.blockerPairGroup(), LOOKAHEAD_MS)
            || event(score.track17Phrase(), LOOKAHEAD_MS, 2, 2) || event(score.track16Phrase(), LOOKAHEAD_MS, 3, 3)
            || event(score.track16Phrase(), 250, 3, 3))
            addBackgroundMarkers(world);
    }

    void endRule()
    {
        if (world->now < END_RULE_TIME_MS)
            return;
        if (tentheadKills < TENTHEADS_REQUIRED) {
            world->phase = PHASE_LOST;
            return;
        }
        kestor& player = *world->player;
        if (!player.flyingOut)
            player.startFlyOut();
        player.active = false;
        if (player.position.getV() < TUBE_FAR_END * EXIT_STOP_FRACTION)
            player.setSpeed(player.speed + world->dt * EXIT_ACCELERATION);
        else
            player.setSpeed(0.0f);
    }

    gameWorld* world;
    songScore& score;
    const timeEventSection& section;
};

} // namespace

void spawnDirector(gameWorld* world)
{
    Schedule(world).run();
}
