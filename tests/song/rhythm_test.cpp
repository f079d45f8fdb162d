// The rhythm judge against a small score: windows, runs, strays, misses.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "song/rhythm.h"
#include "song/timeEvent.h"
#include "song/timeEventSection.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

namespace {

using Codes = std::vector<int>;

// Notes A, B, C every 2,000 ms: A at 10,000 + 2,000 k, B 500 ms and C
// 1,000 ms later; D at 20,000 and again 50 ms later.
class JudgeTest : public ::testing::Test {
protected:
    JudgeTest() : world(gameWorld::bare_t{})
    {
        lead = timeEvent(10000, 0.0f);
        track.addChild(&lead);
        for (int i = 0; i < 10; ++i) {
            track.addChild(&A);
            track.addChild(&B);
            track.addChild(&C);
            track.addChild(&gap);
        }
        dLead = timeEvent(20000, 0.0f);
        dTrack.addChild(&dLead);
        dTrack.addChild(&D);
        dTrack.addChild(&D);
        section.tracks = {&track, &dTrack};
        section.start(0);
        world.section = &section;
        world.player = &player;
        world.now = 0;
        pattern = {&A, &B, &C};
        judge.init(&pattern, &world);
    }
    ~JudgeTest() override
    {
        world.section = nullptr;
        world.player = nullptr;
    }

    // One frame at song time now, with or without a shot; the judge's codes.
    Codes frame(int now, bool shot, rhythm& j)
    {
        section.previousFrameMs = section.currentFrameMs;
        section.currentFrameMs = now;
        world.now = now;
        player.events.clear();
        if (shot)
            player.events.push_back(EVENT_FIRED);
        j.update();
        return j.events;
    }
    Codes frame(int now, bool shot = false) { return frame(now, shot, judge); }

    // Frames every 20 ms from..to (inclusive), shots at the given times;
    // returns all codes in order.
    Codes run(int from, int to, std::set<int> shots = {})
    {
        Codes all;
        for (int now = from; now <= to; now += 20) {
            const Codes c = frame(now, shots.count(now) > 0);
            all.insert(all.end(), c.begin(), c.end());
        }
        return all;
    }

    // Runs to the first hit on A at 10,200: the run has started.
    void startRunOnFirstA()
    {
        run(10000, 10180);
        ASSERT_EQ(frame(10200, true), (Codes{EVENT_RUN_STARTED}));
        ASSERT_TRUE(judge.running);
    }

    timeEvent A{500, 0.4f}, B{500, 0.5f}, C{500, 0.6f}, gap{500, 0.0f}, lead, D{50, 0.3f}, dLead;
    timeEventTrack track{0, 0}, dTrack{1, 0};
    timeEventSection section;
    kestor player;
    gameWorld world;
    rhythm::Pattern pattern;
    rhythm judge;
};

TEST_F(JudgeTest, InitSetsTheStartingValues)
{
    EXPECT_EQ(judge.pattern, &pattern);
    EXPECT_EQ(judge.world, &world);
    EXPECT_EQ(judge.type, 0);
    EXPECT_FALSE(judge.running);
    EXPECT_EQ(judge.cursor, 0u);
    EXPECT_EQ(judge.windowStart, -2);
    EXPECT_EQ(judge.windowEnd, -2);
    EXPECT_EQ(judge.watchedEvent, EVENT_FIRED);
    EXPECT_EQ(judge.windowOffset, -150);
    EXPECT_EQ(judge.windowLength, 400);
    EXPECT_EQ(judge.maxStrayShots, 2);
    EXPECT_EQ(judge.maxMissedChecks, 1);
    EXPECT_EQ(judge.maxHitsInWindow, 1);
}

TEST_F(JudgeTest, TimelineOfTheFirstHit)
{
    // Nothing before now reaches A's start + 150.
    EXPECT_TRUE(run(10000, 10140).empty());
    EXPECT_EQ(frame(10160), (Codes{EVENT_WINDOW_OPENED}));
    EXPECT_EQ(judge.windowStart, 10160);
    EXPECT_EQ(judge.windowEnd, 10560);
    EXPECT_TRUE(judge.windowOpen);
    EXPECT_FALSE(judge.isPerfect());

    EXPECT_TRUE(run(10180, 10280).empty());
    EXPECT_EQ(frame(10300, true), (Codes{EVENT_RUN_STARTED}));
    EXPECT_TRUE(judge.running);
    EXPECT_EQ(judge.cursor, 0u);   // advanced to B, then back to A by the start
    EXPECT_TRUE(judge.isPerfect());
    EXPECT_EQ(judge.windowStart, -2);

    EXPECT_EQ(frame(10320), (Codes{EVENT_WINDOW_CLOSED}));
    EXPECT_FALSE(judge.isPerfect());
    EXPECT_TRUE(judge.running);
    // The next window waits for A's next occurrence, at 12,000.
    EXPECT_TRUE(run(10340, 12140).empty());
    EXPECT_EQ(frame(12160), (Codes{EVENT_WINDOW_OPENED}));
}

TEST_F(JudgeTest, ShotInTheOpeningFrameIsInside)
{
    run(10000, 10140);
    EXPECT_EQ(frame(10160, true), (Codes{EVENT_WINDOW_OPENED, EVENT_RUN_STARTED}));
}

TEST_F(JudgeTest, ShotAtTheWindowEndIsOutside)
{
    // Frames every 20 ms put a frame at windowEnd (10,560) exactly.
    run(10000, 10540);
    ASSERT_EQ(judge.windowEnd, 10560);
    EXPECT_EQ(frame(10560, true), (Codes{EVENT_WINDOW_CLOSED}));
    EXPECT_FALSE(judge.running);
}

TEST_F(JudgeTest, HitsWalkThePatternAndWrap)
{
    startRunOnFirstA();
    EXPECT_EQ(run(10220, 12180), (Codes{EVENT_WINDOW_CLOSED, EVENT_WINDOW_OPENED}));
    EXPECT_EQ(frame(12200, true), Codes{});   // A hit: cursor to B
    EXPECT_EQ(judge.cursor, 1u);
    run(12220, 12680);
    EXPECT_EQ(frame(12700, true), (Codes{EVENT_LAST_NOTE_REACHED}));   // B hit: cursor to C
    EXPECT_EQ(judge.cursor, 2u);
    run(12720, 13180);
    EXPECT_EQ(frame(13200, true), (Codes{EVENT_PATTERN_COMPLETED}));   // C hit: back to A
    EXPECT_EQ(judge.cursor, 0u);
    EXPECT_EQ(judge.loops, 1);
    EXPECT_TRUE(judge.running);
}

TEST_F(JudgeTest, ThirdStrayShotResetsTheRun)
{
    startRunOnFirstA();
    EXPECT_EQ(frame(10400, true), (Codes{EVENT_WINDOW_CLOSED}));
    EXPECT_EQ(judge.strayShots, 1);
    EXPECT_EQ(frame(10600, true), Codes{});
    EXPECT_TRUE(judge.running);
    EXPECT_EQ(frame(10800, true), (Codes{EVENT_RUN_RESET}));
    EXPECT_FALSE(judge.running);
    EXPECT_EQ(judge.strayShots, 0);
}

TEST_F(JudgeTest, SecondShotInOneWindowIsStray)
{
    startRunOnFirstA();
    EXPECT_EQ(frame(10220, true), (Codes{EVENT_WINDOW_CLOSED}));
    EXPECT_EQ(judge.strayShots, 1);
    EXPECT_EQ(judge.hitsInWindow, 1);
}

TEST_F(JudgeTest, MissedWindowResetsOnTheSecondEmptyFrame)
{
    startRunOnFirstA();
    run(10220, 12540);
    ASSERT_EQ(judge.windowEnd, 12560);
    EXPECT_EQ(frame(12560), (Codes{EVENT_WINDOW_CLOSED}));
    EXPECT_EQ(judge.missedChecks, 1);
    EXPECT_TRUE(judge.running);
    EXPECT_EQ(frame(12580), (Codes{EVENT_RUN_RESET}));
    EXPECT_FALSE(judge.running);
    EXPECT_EQ(judge.missedChecks, 0);
}

TEST_F(JudgeTest, OccurrenceDuringARunningWindowOpensNone)
{
    rhythm::Pattern dOnly{&D};
    judge.init(&dOnly, &world);
    const Codes codes = run(19800, 21000);
    EXPECT_EQ(codes, (Codes{EVENT_WINDOW_OPENED, EVENT_WINDOW_CLOSED}));
}

TEST_F(JudgeTest, ResetWhileOpenClosesSilently)
{
    startRunOnFirstA();
    run(10220, 12160);
    ASSERT_TRUE(judge.windowOpen);
    judge.events.clear();
    judge.resetRun();
    EXPECT_EQ(judge.events, (Codes{EVENT_RUN_RESET}));
    EXPECT_FALSE(judge.windowOpen);
    EXPECT_EQ(judge.windowStart, -2);
    EXPECT_EQ(frame(12180), Codes{});
}

TEST_F(JudgeTest, IdleShotBeyondTheHitLimitOnlyCounts)
{
    judge.maxHitsInWindow = 0;
    run(10000, 10180);
    EXPECT_EQ(frame(10200, true), Codes{});
    EXPECT_EQ(judge.hitsInWindow, 1);
    EXPECT_FALSE(judge.running);
    EXPECT_EQ(judge.cursor, 0u);
}

TEST_F(JudgeTest, JudgesSharingANoteJudgeTheSameShotIndependently)
{
    rhythm::Pattern other{&A, &C};
    rhythm second;
    second.init(&other, &world);
    Codes a, b;
    for (int now = 10000; now <= 10200; now += 20) {
        a = frame(now, now == 10200, judge);
        // The same frame for the second judge: a judge's update changes
        // neither the section nor the player's events.
        second.update();
        b = second.events;
        if (now == 10160) {
            EXPECT_EQ(a, (Codes{EVENT_WINDOW_OPENED}));
            EXPECT_EQ(b, (Codes{EVENT_WINDOW_OPENED}));
        }
    }
    EXPECT_EQ(a, (Codes{EVENT_RUN_STARTED}));
    // In [A, C] the hit on A moves the cursor onto the last note first.
    EXPECT_EQ(b, (Codes{EVENT_LAST_NOTE_REACHED, EVENT_RUN_STARTED}));
    EXPECT_TRUE(judge.running);
    EXPECT_TRUE(second.running);
}

TEST_F(JudgeTest, WithoutAPatternNothingOpens)
{
    rhythm idle;
    idle.init(nullptr, &world);
    rhythm::Pattern none;
    rhythm empty;
    empty.init(&none, &world);
    for (int now = 9000; now <= 14000; now += 20) {
        idle.events.push_back(99);   // emptied by every update
        frame(now, now % 200 == 0, idle);
        empty.update();
        EXPECT_TRUE(idle.events.empty());
        EXPECT_TRUE(empty.events.empty());
    }
    EXPECT_FALSE(idle.running);
    EXPECT_FALSE(empty.running);
}

} // namespace
