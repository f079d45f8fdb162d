// The world's fixed steps: how render frames of any length turn into 16-ms
// steps of song time, what the keys do across the steps of one frame, what
// the play screen finds after an update, and where it draws each object
// between two steps.
#include "worldHarness.h"

#include <gtest/gtest.h>

#include "song/timeEventSection.h"
#include "world/sharedConstants.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using harness::Game;

namespace {

int count(const std::vector<int>& codes, int code)
{
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

// A player that may steer at once: at the rim, out of its respawn.
void readyToSteer(gameWorld& w)
{
    kestor& p = *w.player;
    p.respawning = false;
    p.active = true;
    p.setPosition(0.5f, 0.0f);
}

} // namespace

TEST(FixedStep, RenderFramesTurnIntoWholeStepsAndCarryTheRest)
{
    struct Case {
        const char* what;
        std::vector<int> frames;  // render frame lengths from the anchor at 0
        int now;                  // song time of the last step
        long steps;
    };
    const Case cases[] = {
        {"one frame of a step", {16}, 16, 1},
        {"shorter frames run no step", {5, 5, 5}, 0, 0},
        {"the rest carries over", {10, 10, 10, 2}, 32, 2},
        {"1-ms frames", std::vector<int>(48, 1), 48, 3},
        {"33-ms frames", {33, 33, 33}, 96, 6},
        {"a frame of several steps", {100}, 96, 6},
        {"a zero-length frame", {16, 0, 0}, 16, 1},
        {"a 500-ms stall runs every step", {500}, 496, 31},
        {"a stall of exactly the cap", {MAX_CATCH_UP_STEPS * STEP_MS}, MAX_CATCH_UP_STEPS * STEP_MS,
         MAX_CATCH_UP_STEPS},
    };
    for (const Case& c : cases) {
        Game g;
        for (int ms : c.frames)
            g.frame(ms);
        EXPECT_EQ(g.world->now, c.now) << c.what;
        EXPECT_EQ(g.world->stepsRun, c.steps) << c.what;
        if (c.steps > 0) {
            EXPECT_FLOAT_EQ(g.world->dt, 0.016f) << c.what;
        }
    }
}

TEST(FixedStep, EveryStepOfAStallRunsWithItsOwnWindowAndNoneTwice)
{
    // A stall of any length, then 16-ms frames: every step due runs, in the
    // frame after the stall up to the cap and the rest in the frames after,
    // and the score's windows of the frames join end to end.
    const int cases[] = {3000, 10000, MAX_CATCH_UP_STEPS * STEP_MS, MAX_CATCH_UP_STEPS * STEP_MS + 1605, 60000};
    for (int stallMs : cases) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        int windowEnd = w.section->currentFrameMs;
        long steps = w.stepsRun;
        int frames = 0;
        g.frame(stallMs);
        EXPECT_EQ(w.stepsRun - steps, std::min(stallMs / STEP_MS, MAX_CATCH_UP_STEPS)) << stallMs;
        for (;;) {
            if (w.stepsRun > steps) {
                EXPECT_EQ(w.section->previousFrameMs, windowEnd) << stallMs << ", frame " << frames;
                EXPECT_EQ(w.section->currentFrameMs, w.now) << stallMs << ", frame " << frames;
                EXPECT_EQ(w.stepsRun - steps, (w.now - windowEnd) / STEP_MS) << stallMs << ", frame " << frames;
                windowEnd = w.now;
                steps = w.stepsRun;
            }
            if (w.now + STEP_MS > g.music || ++frames > 10)
                break;
            g.frame(0);
        }
        EXPECT_EQ(frames, (stallMs / STEP_MS - 1) / MAX_CATCH_UP_STEPS) << stallMs;
        // Caught up: every step of the song so far ran, once.
        EXPECT_EQ(w.now, 16 + stallMs / STEP_MS * STEP_MS) << stallMs;
        EXPECT_EQ(w.stepsRun, 1 + stallMs / STEP_MS) << stallMs;
        g.frame(16);
        EXPECT_EQ(w.section->previousFrameMs, windowEnd) << stallMs;
        EXPECT_EQ(w.stepsRun, 2 + stallMs / STEP_MS) << stallMs;
    }
}

TEST(FixedStep, ResetAndPauseBehaveAsAt16msFrames)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(40);  // two steps, 8 ms carried
    w.update(-2);  // one step of dt 0 at -2; the carry is gone
    EXPECT_EQ(w.now, -2);
    EXPECT_EQ(w.dt, 0.0f);
    EXPECT_EQ(w.stepsRun, 3);
    g.clock.advance(16);
    w.update(0);
    EXPECT_EQ(w.now, 14);

    // While paused nothing runs, however long; the resume ties song time to
    // the music again, standing where song time stopped, and nothing of the
    // paused time is caught up.
    g.music = w.now;
    g.pause();
    for (int i = 0; i < 100; ++i)
        g.frame(33);
    EXPECT_EQ(w.now, 14);
    EXPECT_EQ(w.stepsRun, 4);
    g.resume();
    g.frame(16);
    EXPECT_EQ(w.stepsRun, 5);
    EXPECT_EQ(w.now, g.music);
}

TEST(FixedStep, SongTimeAnchoredBehindNowWaitsForTheClock)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(160);
    const long steps = w.stepsRun;
    // The music reads a little behind the last step: song time never runs
    // back, the steps wait until the clock has passed now again.
    w.clockOffset -= 40;
    g.frame(16);
    EXPECT_EQ(w.stepsRun, steps);
    EXPECT_EQ(w.now, 160);
    g.frame(40);
    EXPECT_EQ(w.stepsRun, steps + 1);
    EXPECT_EQ(w.now, 176);
}

TEST(FixedStep, ATapFiresOnceAndTheKeyCountsAsHeldInTheLaterSteps)
{
    Game g;
    gameWorld& w = *g.world;
    kestor& p = *w.player;
    g.frame(16);
    p.fireRequested = true;
    p.fireKind = 0;
    g.frame(48);  // three steps: at 32, 48 and 64
    EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 1);
    EXPECT_EQ(p.nextFireMs, 32 + 125);
    EXPECT_EQ(p.holdUntilMs, 48 + HOLD_DELAY_MS);  // the second step saw the key held
    EXPECT_FALSE(p.fireRequested);
}

TEST(FixedStep, ATapInAFrameWithoutStepWaitsForTheNextStep)
{
    Game g;
    gameWorld& w = *g.world;
    kestor& p = *w.player;
    g.frame(16);
    p.fireRequested = true;
    p.fireKind = 0;  // pressed in a 1-ms frame
    g.frame(1);
    EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 0);
    for (int i = 0; i < 14; ++i) {  // released again: no request at all
        g.frame(1);
        EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 0);
    }
    g.frame(1);  // the step at 32
    EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 1);
    EXPECT_EQ(p.nextFireMs, 32 + 125);
    g.frame(16);
    EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 0);  // once only
}

TEST(FixedStep, HeldKeysActInEveryStepOfALongFrame)
{
    // The same keys held for 960 ms (the cap): in one frame, and in 60
    // frames of 16 ms.
    struct Run {
        float u;
        int shots;
        int holdUntil;
    };
    auto run = [](int frameMs) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        readyToSteer(w);
        Run r{0, 0, 0};
        for (int t = 0; t < 960; t += frameMs) {
            w.player->movePlusU();
            w.player->fireRequested = true;
            w.player->fireKind = 1;
            g.frame(frameMs);
            r.shots += count(w.player->frameEvents, EVENT_FIRED);
        }
        r.u = w.player->position.u;
        r.holdUntil = w.player->holdUntilMs;
        return r;
    };
    const Run whole = run(960), steps = run(16);
    EXPECT_FLOAT_EQ(whole.u, steps.u);
    EXPECT_NEAR(whole.u, 0.5f + 60 * PLAYER_SIDE_SPEED * 0.016f, 1e-4f);
    EXPECT_EQ(whole.shots, steps.shots);
    EXPECT_EQ(whole.shots, 3);  // held: 250 ms wait, then every 250 ms
    EXPECT_EQ(whole.holdUntil, steps.holdUntil);
}

TEST(FixedStep, SteeringLastsOnlyTheFrameThatReadIt)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    readyToSteer(w);
    w.player->movePlusU();
    g.frame(1);  // no step: the key was read, then released
    g.frame(15);
    EXPECT_EQ(w.player->position.u, 0.5f);
    EXPECT_EQ(w.player->velocityU, 0.0f);
}

TEST(FixedStep, TheScreenSeesTheWholeRenderFrameOnce)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    // Added before the frame: raised EVENT_ADDED, moved in every step.
    auto* leaving = new bullet(0.0f, &w, PositionSpec::at(0.3f, 3.999f));
    w.addObject(leaving);
    auto* staying = new bullet(0.0f, &w, PositionSpec::at(0.6f, 1.0f));
    w.addObject(staying);
    g.frame(48);
    // The code of the addition, raised outside any step, is shown before the
    // first step empties it; the steps themselves raised nothing.
    EXPECT_EQ(staying->frameEvents, std::vector<int>{EVENT_ADDED});
    // Left the tube in the first step; still readable until the next update.
    ASSERT_EQ(w.removedObjects.size(), 1u);
    EXPECT_EQ(w.removedObjects[0], leaving);
    EXPECT_FALSE(isDestroyed(*leaving));
    // The frame window spans the three steps.
    EXPECT_EQ(w.section->previousFrameMs, 16);
    EXPECT_EQ(w.section->currentFrameMs, 64);

    // Fired in the first of three steps: the screen still sees the shot and
    // the bullet's addition.
    kestor& p = *w.player;
    p.fireRequested = true;
    p.fireKind = 0;
    g.frame(48);
    EXPECT_TRUE(w.removedObjects.empty());  // deleted by this update
    EXPECT_EQ(count(p.frameEvents, EVENT_FIRED), 1);
    mobileObject* shot = w.objects.back();
    ASSERT_EQ(shot->type, TYPE_BULLET);
    EXPECT_EQ(count(shot->frameEvents, EVENT_ADDED), 1);
    EXPECT_TRUE(shot->events.empty());  // the rules' list: emptied by the later steps

    // A frame without a step shows nothing, and an empty window.
    g.frame(5);
    EXPECT_TRUE(p.frameEvents.empty());
    EXPECT_TRUE(shot->frameEvents.empty());
    EXPECT_EQ(w.section->previousFrameMs, w.section->currentFrameMs);
}

TEST(FixedStep, CodesRaisedBeforeTheFirstStepReachTheScreenWhateverStepComesFirst)
{
    // start() adds the player before any step. After a pause and a resume
    // the first step is a step of play, which empties every object's codes
    // as it moves it.
    struct Case {
        const char* what;
        std::vector<int> framesBeforePause;  // ms each
        int pausedFrames;
        int firstFrameAfterMs;
    };
    const Case cases[] = {
        {"no pause: the first step leaves the ready phase", {}, -1, 16},
        {"paused before any frame", {}, 0, 16},
        {"paused after a frame without a step", {5}, 3, 16},
        {"paused for long, then a frame of several steps", {}, 300, 100},
        {"paused, then a stall", {5}, 10, 2000},
    };
    for (const Case& c : cases) {
        Game g;
        gameWorld& w = *g.world;
        const std::vector<mobileObject*> first = w.objects;
        for (int ms : c.framesBeforePause)
            g.frame(ms);
        if (c.pausedFrames >= 0) {
            g.pause();
            for (int i = 0; i < c.pausedFrames; ++i)
                g.frame(16);
            g.resume();
        }
        g.frame(c.firstFrameAfterMs);
        ASSERT_EQ(w.phase, PHASE_PLAYING) << c.what;
        for (const mobileObject* o : first)
            EXPECT_TRUE(o->hasFrameEvent(EVENT_ADDED)) << c.what << ": type " << o->type;
        // Shown once: the next update's view no longer has them.
        g.frame(16);
        EXPECT_FALSE(w.player->hasFrameEvent(EVENT_ADDED)) << c.what;
    }
}

// ---------------------------------------------------------------- drawing

namespace {

// One render frame of the given length in microseconds.
void frameUs(Game& g, long long us)
{
    g.clock.advanceUs(us);
    g.world->update(0);
}

float distance(const Placement& a, const Placement& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

} // namespace

TEST(FixedStep, DrawFractionIsHowFarTheFrameLiesPastTheLastStep)
{
    struct Case {
        const char* what;
        std::vector<long long> framesUs;  // from the anchor at song time 0
        int now;
        float fraction;
    };
    const Case cases[] = {
        {"half a step", {8000}, 0, 0.5f},
        {"just short of a step", {15999}, 0, 15.999f / 16},
        {"a 60-Hz frame", {16667}, 16, 0.667f / 16},
        {"two 60-Hz frames", {16667, 16667}, 32, 1.334f / 16},
        {"a 144-Hz frame", {6944}, 0, 6.944f / 16},
        {"a 30-Hz frame", {33333}, 32, 1.333f / 16},
        {"after a stall", {2000500}, 2000, 0.5f / 16},
        {"after a stall ending inside a step", {2008500}, 2000, 8.5f / 16},
        // The rest of a stall past the cap waits for the next frames: the
        // drawing stands at the last step run.
        {"a stall past the cap", {MAX_CATCH_UP_STEPS * STEP_MS * 1000LL + 40500}, MAX_CATCH_UP_STEPS * STEP_MS, 1.0f},
        {"and the frame after it", {MAX_CATCH_UP_STEPS * STEP_MS * 1000LL + 40500, 0}, MAX_CATCH_UP_STEPS * STEP_MS + 32,
         8.5f / 16},
    };
    for (const Case& c : cases) {
        Game g;
        for (long long us : c.framesUs)
            frameUs(g, us);
        EXPECT_EQ(g.world->now, c.now) << c.what;
        EXPECT_NEAR(g.world->drawFraction, c.fraction, 1e-4f) << c.what;
    }

    // Paused, the drawing stands still however long the pause.
    Game g;
    frameUs(g, 8000);
    g.pause();
    frameUs(g, 5000000);
    EXPECT_EQ(g.world->drawFraction, 0.5f);
    // Song time set down behind the last step: the drawing holds where it
    // stood instead of going back, and starts over from the next step.
    g.music = 8;  // where song time stopped
    g.resume();
    g.world->clockOffset -= 40;
    frameUs(g, 1000);
    EXPECT_EQ(g.world->drawFraction, 0.5f);
    const int step = g.world->now + STEP_MS;
    frameUs(g, 48000);
    ASSERT_EQ(g.world->now, step);
    EXPECT_NEAR(g.world->drawFraction, 1.0f / 16, 1e-4f);
}

TEST(FixedStep, ObjectsAreDrawnBetweenTheirLastTwoStepsOrWhereTheyAppeared)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    auto* b = new bullet(0.0f, &w, PositionSpec::at(0.3f, 1.0f));  // flies +v
    w.addObject(b);
    // Added since the last step: drawn where it stands, whatever the share.
    frameUs(g, 8000);
    ASSERT_EQ(w.drawFraction, 0.5f);
    EXPECT_EQ(b->drawnPlacement(w.drawFraction).y, b->placement.y);

    // One step on, a quarter of a step past it: a quarter of the way.
    const Placement before = b->placement;
    frameUs(g, 12000);
    ASSERT_EQ(w.now, 32);
    const Placement drawn = b->drawnPlacement(w.drawFraction);
    EXPECT_NEAR(drawn.y, before.y + 0.25f * (b->placement.y - before.y), 1e-4f);
    EXPECT_GT(b->placement.y, before.y);

    // Several steps in one frame: between the last two of them.
    frameUs(g, 16000 * 3);
    const float stepWay = BULLET_SPEED * 0.016f * TUBE_LENGTH_SCALE;
    EXPECT_NEAR(b->drawnPlacement(w.drawFraction).y, b->placement.y - 0.75f * stepWay, 1e-3f);
}

TEST(FixedStep, AnObjectCrossingTheSeamIsDrawnCloseToWhereItWasDrawnBefore)
{
    struct Case {
        float heading;  // 90 toward +u, 270 toward -u
        float startU;
    };
    for (const Case c : {Case{270.0f, 0.003f}, Case{90.0f, 0.997f}}) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        auto* b = new bullet(c.heading, &w, PositionSpec::at(c.startU, 1.0f));
        w.addObject(b);
        frameUs(g, 6944);
        Placement last = b->drawnPlacement(w.drawFraction);
        // One 144-Hz frame's way round the tube (radius 3), and in degrees.
        const float way = BULLET_SPEED * 0.006944f * TWO_PI * TUBE_RADIUS;
        const float turn = BULLET_SPEED * 0.006944f * 360.0f;
        bool crossed = false;
        for (int frame = 0; frame < 40; ++frame) {
            const float uBefore = b->position.u;
            frameUs(g, 6944);
            crossed = crossed || std::fabs(b->position.u - uBefore) > 0.5f;
            const Placement now = b->drawnPlacement(w.drawFraction);
            EXPECT_LT(distance(now, last), way * 1.05f) << "heading " << c.heading << ", frame " << frame;
            EXPECT_LT(std::fabs(std::remainder(now.angle2 - last.angle2, 360.0f)), turn * 1.05f)
                << "heading " << c.heading << ", frame " << frame;
            last = now;
        }
        EXPECT_TRUE(crossed) << c.heading;
    }
}

TEST(FixedStep, AResumeHoldsTheStepsAndTheDrawingOrMovesThemOnNeverBack)
{
    // The music on resume, against song time at the pause: where it stood,
    // the steps and the drawing carry on as if never paused; behind, both
    // hold until song time passes the next step; ahead, every step due runs
    // at once. The steps keep their grid whatever the music does.
    const int offsets[] = {0, 5, 1000, -5, -40};
    for (int off : offsets) {
        const std::string what = "music off by " + std::to_string(off);
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        auto* b = new bullet(0.0f, &w, PositionSpec::at(0.3f, 1.0f));  // flies +v
        w.addObject(b);
        g.frame(32);
        frameUs(g, 11000);  // 11 ms into a step
        const float share = w.drawFraction;
        const float drawnY = b->drawnPlacement(share).y;
        const long stepsBefore = w.stepsRun;
        const int songBefore = int(plat::clock()) + w.clockOffset;
        const int nowBefore = w.now;
        g.pause();
        for (int i = 0; i < 50; ++i)
            g.frame(33);
        // Two presses of P before a frame is drawn move nothing twice.
        g.music = songBefore + off;
        g.resume();
        g.pause();
        g.resume();
        EXPECT_EQ(int(plat::clock()) + w.clockOffset, songBefore + off) << what;
        EXPECT_EQ(w.now, nowBefore) << what;
        frameUs(g, 0);
        const int due = std::max(0, (11 + off) / STEP_MS);
        EXPECT_EQ(w.stepsRun, stepsBefore + due) << what;
        EXPECT_EQ(w.now, nowBefore + due * STEP_MS) << what;
        const float y = b->drawnPlacement(w.drawFraction).y;
        if (off <= 0) {
            EXPECT_EQ(w.drawFraction, share) << what;
            EXPECT_EQ(y, drawnY) << what;
        } else {
            EXPECT_GT(y, drawnY) << what;
        }
        // Then on, one frame after another, never back, and on the grid.
        float last = y;
        for (int i = 0; i < 40; ++i) {
            frameUs(g, 4000);
            const float next = b->drawnPlacement(w.drawFraction).y;
            EXPECT_GE(next, last) << what << ", frame " << i;
            EXPECT_EQ((w.now - nowBefore) % STEP_MS, 0) << what;
            last = next;
        }
        EXPECT_GT(last, drawnY) << what;
    }
}
