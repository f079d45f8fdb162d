#include "app/PlayRules.h"
#include "song/songScore.h"
#include "world/gameWorld.h"
#include "world/simulationObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace play;

namespace {

// --------------------------------------------------------------- frame steps

TEST(PlayFrame, PausedFramesNeitherPollKeysNorChangeColours)
{
    struct Row {
        int phase;
        bool poll, end, figures, colours;
    };
    const Row rows[] = {
        {PHASE_READY, true, false, false, true},
        {PHASE_PLAYING, true, false, true, true},
        {PHASE_PAUSED, false, false, false, false},
        {PHASE_WON, true, true, false, false},
        {PHASE_LOST, true, true, false, false},
    };
    for (const Row& r : rows) {
        const FrameSteps s = stepsFor(r.phase);
        EXPECT_EQ(s.pollKeys, r.poll) << r.phase;
        EXPECT_EQ(s.endGame, r.end) << r.phase;
        EXPECT_EQ(s.figures, r.figures) << r.phase;
        EXPECT_EQ(s.colourRows, r.colours) << r.phase;
    }
}

// --------------------------------------------------------------- keys

TEST(PlayKeys, PollingTurnsHeldKeysIntoSteeringCalls)
{
    struct Row {
        const char* what;
        HeldKeys keys;
        int sense;
        int plus, minus;
    };
    const Row rows[] = {
        {"nothing", {}, 1, 0, 0},
        {"left, sense 1", {true, false, false, false, false}, 1, 1, 0},
        {"left, sense 2", {true, false, false, false, false}, 2, 0, 1},
        {"right, sense 1", {false, true, false, false, false}, 1, 0, 1},
        {"right, sense 2", {false, true, false, false, false}, 2, 1, 0},
        {"left and right act as left", {true, true, false, false, false}, 1, 1, 0},
        {"comma turns +u whatever the sense", {false, false, true, false, false}, 2, 1, 0},
        {"period turns -u whatever the sense", {false, false, false, true, false}, 1, 0, 1},
        {"comma and period act as comma", {false, false, true, true, false}, 1, 1, 0},
        {"left and comma add up", {true, false, true, false, false}, 1, 2, 0},
        {"right and comma cancel", {false, true, true, false, false}, 1, 1, 1},
    };
    for (const Row& r : rows) {
        bool armed = true;
        const PolledInput in = pollKeys(r.keys, r.sense, armed);
        EXPECT_EQ(in.plusCalls, r.plus) << r.what;
        EXPECT_EQ(in.minusCalls, r.minus) << r.what;
        EXPECT_FALSE(in.fire) << r.what;
        EXPECT_TRUE(armed) << r.what;
    }
}

TEST(PlayKeys, SpaceTapsOnceThenHoldsUntilReleased)
{
    HeldKeys space;
    space.space = true;
    bool armed = true;
    std::vector<int> kinds;
    for (int frame = 0; frame < 3; ++frame) {
        const PolledInput in = pollKeys(space, 1, armed);
        ASSERT_TRUE(in.fire);
        kinds.push_back(in.fireKind);
    }
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 1}));
    // Space up: nothing is asked and nothing re-arms but the release.
    const PolledInput up = pollKeys(HeldKeys{}, 1, armed);
    EXPECT_FALSE(up.fire);
    EXPECT_FALSE(armed);
    armed = true;  // the key's release
    EXPECT_EQ(pollKeys(space, 1, armed).fireKind, 0);
}

TEST(PlayKeys, SteeringSenseFollowsTheHalfOfTheTubeTheShipStandsOn)
{
    const std::pair<float, int> rows[] = {
        {0.5f, 1}, {0.2501f, 1}, {0.7499f, 1}, {0.25f, 2}, {0.75f, 2},
        {0.0f, 2}, {0.1f, 2},    {0.9f, 2},    {-10000.0f, 2},
    };
    for (const auto& r : rows)
        EXPECT_EQ(steerSenseFor(r.first), r.second) << r.first;
}

// --------------------------------------------------------------- music fade

TEST(PlayMusic, FadeRisesWithFrameTimeAndSettlesAtOne)
{
    struct Row {
        float volume;
        int frameMs;
        float expected;
        bool setVolume;
    };
    const Row rows[] = {
        {0.0f, 16, 0.008f, true},     {0.5f, 1000, 1.0f, true},  {0.9921f, 32, 1.0081f, true},
        {1.0079f, 16, 1.0f, false},   {1.0f, 16, 1.0f, false},   {-0.9f, 200, -0.8f, true},
        {0.0f, 0, 0.0f, true},
    };
    for (const Row& r : rows) {
        const FadeStep s = fadeMusic(r.volume, r.frameMs);
        EXPECT_NEAR(s.volume, r.expected, 1e-5) << r.volume << " + " << r.frameMs;
        EXPECT_EQ(s.setVolume, r.setVolume) << r.volume << " + " << r.frameMs;
    }
    // From silence, 2000 ms of 16 ms frames.
    float v = 0.0f;
    int frames = 0;
    while (v < 1.0f) {
        v = fadeMusic(v, 16).volume;
        ++frames;
    }
    EXPECT_EQ(frames, 125);
}

// --------------------------------------------------------------- camera

TEST(PlayCamera, FollowsAThirdOfTheWayAtAFixedDepth)
{
    struct Row {
        float x, z;
        Vec3 expected;
    };
    const Row rows[] = {
        {0, -40, {0, -25.681f, -43}},
        {0, 0, {0, 0.999f, -43}},
        {3, 3, {2.001f, 3, -43}},
        {-6, 10, {-4.002f, 7.669f, -43}},
    };
    for (const Row& r : rows) {
        const Vec3 c = cameraFor(r.x, r.z);
        EXPECT_NEAR(c.x, r.expected.x, 1e-4) << r.x << "," << r.z;
        EXPECT_NEAR(c.y, r.expected.y, 1e-4) << r.x << "," << r.z;
        EXPECT_EQ(c.z, r.expected.z);
    }
}

TEST(PlayCamera, ShakeBouncesBetweenClosingBounds)
{
    CameraShake shake;
    shake.start({1, 2, -43}, 5000);
    const float offsets[] = {0.1f, 0.25f, 0.4f, 0.55f, 0.4f, 0.25f, 0.1f, -0.05f, 0.1f, 0.25f};
    for (int i = 0; i < 10; ++i) {
        const Vec3 at = shake.advance(5000 + 16 * i);
        EXPECT_NEAR(at.x, 1 + offsets[i], 1e-5) << "frame " << i;
        EXPECT_NEAR(at.y, 2 + offsets[i], 1e-5) << "frame " << i;
        EXPECT_EQ(at.z, CAMERA_DEPTH);
        if (i == 3)
            EXPECT_NEAR(shake.low, 0.025f, 1e-6);
        if (i == 7)
            EXPECT_NEAR(shake.high, 0.475f, 1e-6);
        EXPECT_TRUE(shake.shaking);
    }
}

TEST(PlayCamera, ShakeEndsAfterTwoSecondsOrWhenItsBoundsMeet)
{
    CameraShake byTime;
    byTime.start({0, 0, -43}, 1000);
    byTime.advance(3000);
    EXPECT_TRUE(byTime.shaking);
    byTime.advance(3001);
    EXPECT_FALSE(byTime.shaking);

    // With a clock that never moves only the bounds can end it.
    CameraShake byBounds;
    byBounds.start({0, 0, -43}, 0);
    int frames = 0;
    while (byBounds.shaking && frames < 10000) {
        byBounds.advance(0);
        ++frames;
    }
    EXPECT_FALSE(byBounds.shaking);
    EXPECT_GE(byBounds.low, byBounds.high);
    EXPECT_GT(frames, 8);
}

// --------------------------------------------------------------- head-up texts

TEST(PlayHud, ProgressTowardTheNextLifeAndLives)
{
    const std::pair<int, const char*> progress[] = {
        {0, ".00"}, {1000, ".05"}, {1999, ".09"}, {2000, ".10"}, {19999, ".99"},
        {20000, ".00"}, {45000, ".25"},
    };
    for (const auto& r : progress)
        EXPECT_EQ(progressText(progressPercent(r.first, 20000)), r.second) << r.first;
    EXPECT_EQ(livesText(5), "5");
    EXPECT_EQ(livesText(0), "0");
    EXPECT_EQ(livesText(12), "12");
}

// --------------------------------------------------------------- reactions

TEST(PlayReactions, ReactionTable)
{
    using E = std::vector<int>;
    struct Row {
        const char* what;
        int type;
        E events;
        bool animating;
        Reaction expected;
    };
    const Row rows[] = {
        {"tentacle fires", 25, {EVENT_FIRED}, true, {Start::Play, 2, false, false}},
        // A power shot is raised with the shot: it must win, or 3 never plays.
        {"tentacle power shot", 25, {EVENT_FIRED, EVENT_POWER_SHOT}, true, {Start::Play, 3, false, false}},
        {"tentacle idle again", 25, {}, false, {Start::StartOn, 1, true, false}},
        {"tentacle idle before damage", 25, {EVENT_DAMAGED}, false, {Start::StartOn, 1, true, false}},
        {"tentacle damaged", 25, {EVENT_DAMAGED}, true, {Start::Play, 6, false, true}},
        {"tentacle nothing", 25, {}, true, {}},
        {"head fires", 26, {EVENT_FIRED, EVENT_DAMAGED}, true, {Start::Play, 3, false, false}},
        {"head idle again", 26, {}, false, {Start::Play, 1, true, false}},
        {"head damaged", 26, {EVENT_DAMAGED}, true, {Start::Play, 2, false, true}},
        // A plain enemy's hit takes the place of its idle loop.
        {"bee damaged", 5, {EVENT_DAMAGED}, true, {Start::Play, 2, false, true}},
        {"dragonfly damaged", 12, {EVENT_STEER_PLUS, EVENT_DAMAGED}, true, {Start::Play, 2, false, true}},
        {"bee fires", 5, {EVENT_FIRED}, true, {}},
        {"bee nothing", 5, {}, false, {}},
    };
    for (const Row& r : rows) {
        const Reaction got = reactionFor(r.type, r.events, r.animating);
        EXPECT_EQ(int(got.how), int(r.expected.how)) << r.what;
        if (r.expected.how != Start::None) {
            EXPECT_EQ(got.animation, r.expected.animation) << r.what;
            EXPECT_EQ(got.loop, r.expected.loop) << r.what;
        }
        EXPECT_EQ(got.flash, r.expected.flash) << r.what;
    }
}

TEST(PlayReactions, BeatPulseAndLivesPoses)
{
    for (int type : {3, 8, 14, 25, 26})
        EXPECT_FALSE(takesBeatPulse(type)) << type;
    for (int type : {2, 5, 6, 12, 17, 21, 23, 24, 27})
        EXPECT_TRUE(takesBeatPulse(type)) << type;

    auto poses = [](int lives) {
        const Poses p = livesPoses(lives);
        return std::vector<int>(p.ids, p.ids + p.count);
    };
    EXPECT_EQ(poses(0), (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(poses(1), (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(poses(2), (std::vector<int>{4, 3}));
    EXPECT_EQ(poses(3), (std::vector<int>{3}));
    EXPECT_TRUE(poses(4).empty());
    EXPECT_TRUE(poses(9).empty());
}

// --------------------------------------------------------------- colour rows

class ColourRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        section = score.buildSong();
        section->start(-2);
    }
    // The frame window (t - 1, t].
    int changesAt(int t)
    {
        section->previousFrameMs = t - 1;
        section->currentFrameMs = t;
        return colourChanges(score, *section);
    }
    // Whether score event n has an occurrence at t whose number passes the
    // modulus.
    bool startsAt(int n, int t, int modulus = 0)
    {
        auto range = score.event(n).occurrences.equal_range(t);
        for (auto it = range.first; it != range.second; ++it)
            if (modulus < 2 || it->second % modulus == 0)
                return true;
        return false;
    }
    bool otherRowAt(int t)
    {
        return startsAt(159, t) || startsAt(255, t) || startsAt(357, t) || startsAt(732, t) ||
               startsAt(729, t, 4) || startsAt(609, t, 8) || startsAt(633, t);
    }
    songScore score;
    timeEventSection* section = nullptr;
};

TEST_F(ColourRows, EveryNoteOfTheFirstRowChangesTheScheme)
{
    ASSERT_FALSE(score.event(169).occurrences.empty());
    for (const auto& occurrence : score.event(169).occurrences) {
        const int t = occurrence.first;
        EXPECT_EQ(changesAt(t), otherRowAt(t) ? 2 : 1) << "at " << t;
    }
}

TEST_F(ColourRows, CountedRowsTakeOnlyTheirMultiples)
{
    // Row 6 takes every 4th note of event 729, row 7 every 8th of event 609.
    const std::pair<int, int> rows[] = {{729, 4}, {609, 8}};
    for (const auto& row : rows) {
        const auto& occurrences = score.event(row.first).occurrences;
        ASSERT_GE(int(occurrences.size()), row.second) << row.first;
        int counted = 0;
        for (const auto& occurrence : occurrences) {
            const int t = occurrence.first;
            if (startsAt(169, t) || (otherRowAt(t) && occurrence.second % row.second != 0))
                continue;  // another row decides this frame
            const int expected = occurrence.second % row.second == 0 ? 1 : 0;
            EXPECT_EQ(changesAt(t), expected) << "event " << row.first << " note " << occurrence.second;
            counted += expected;
        }
        EXPECT_GT(counted, 0) << row.first;
    }
}

TEST_F(ColourRows, LaterRowsMatchingTogetherChangeOnce)
{
    for (const auto& occurrence : score.event(159).occurrences) {
        const int t = occurrence.first;
        if (startsAt(169, t))
            continue;
        EXPECT_EQ(changesAt(t), 1) << "at " << t;
    }
    // A frame with no note of any row changes nothing.
    EXPECT_EQ(changesAt(-500), 0);
    // Score event 357 is in no track: its row never matches.
    EXPECT_TRUE(score.event(357).occurrences.empty());
}

} // namespace
