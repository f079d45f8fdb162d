// The play screen frame by frame in a real window, on a manual clock and an
// audio system that plays nothing: a pause at any moment loses no figure, a
// resume takes song time from the music, and what the frame in which the
// player's ship is destroyed, and the frame in which the game ends, do.
#include "tests/screens/play_fixture.h"

#include "app/PlayRules.h"
#include "app/PlayState.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "song/songScore.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/mobileObject.h"
#include "world/sharedConstants.h"

#include <Ogre.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class PlayFrames : public PlayScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        // Frames run on the manual clock as fast as they can.
        game->pacer.setRate(0);
        newGame();
    }

    // The camera stands where the player's ship is drawn.
    void expectCameraOnThePlayer(const std::string& what)
    {
        const Placement at = world().player->drawnPlacement(world().drawFraction);
        const play::Vec3 expected = play::cameraFor(at.x, at.z);
        const Ogre::Vector3 camera = playState.camera->getPosition();
        EXPECT_NEAR(camera.x, expected.x, 1e-4f) << what;
        EXPECT_NEAR(camera.y, expected.y, 1e-4f) << what;
    }

    bool hasLink(const simulationObject* o) const
    {
        for (const ObjectModelLink* link : playState.liveModels)
            if (link->object == o)
                return true;
        return false;
    }
};

TEST_F(PlayFrames, APauseAtAnyMomentLosesNoFigure)
{
    struct Moment {
        const char* what;
        std::vector<int> framesBefore;  // ms each
        int pausedFrames;
    };
    const Moment moments[] = {
        {"before the first frame", {}, 3},
        {"after a first frame too short for a step", {5}, 3},
        {"right after the first step", {16}, 3},
        {"after a frame of several steps", {16, 100}, 3},
        {"after a stall", {16, 3000}, 3},
        {"for several seconds before the first frame", {}, 300},
    };
    for (const Moment& m : moments) {
        newGame();
        for (int ms : m.framesBefore)
            frameAfter(ms);
        pressP();
        ASSERT_EQ(world().phase, PHASE_PAUSED) << m.what;
        for (int i = 0; i < m.pausedFrames; ++i)
            frameAfter(16);
        pressP();
        ASSERT_EQ(world().phase, PHASE_PLAYING) << m.what;
        for (int i = 0; i < 10; ++i)
            frameAfter(16);

        const Model* ship = playState.playerModel;
        ASSERT_NE(ship, nullptr) << m.what;
        EXPECT_TRUE(playState.camera->getAutoTrackTarget() == ship->root) << m.what;
        expectCameraOnThePlayer(m.what);
        for (const mobileObject* o : world().objects)
            EXPECT_TRUE(hasLink(o)) << m.what << ": an object of type " << o->type << " has no figure";
    }
}

TEST_F(PlayFrames, APauseAndResumeInTheMiddleOfAStepDrawNoFigureBehindWhereItWas)
{
    struct Case {
        const char* what;
        int musicOffMs;  // where the music stands on the resume, against the pause
    };
    const Case cases[] = {
        {"the music where it stopped", 0},
        {"the music a little behind", -5},
        {"the music a little ahead", 5},
        {"the music more than a step behind", -40},
        {"the music more than a step ahead", 40},
    };
    for (const Case& c : cases) {
        newGame();
        // Shots in flight and scenery.
        for (int i = 0; i < 200; ++i) {
            world().player->fireRequested = true;
            world().player->fireKind = 0;
            frameAfter(16);
        }
        frameAfter(11);  // song time 11 ms into a step
        ASSERT_GT(world().drawFraction, 0.5f) << c.what;
        struct Drawn {
            const Model* figure;
            Ogre::Vector3 at;
            Ogre::Vector3 heading;  // the way its object moved in the last step
        };
        std::vector<Drawn> before;
        for (const ObjectModelLink* link : playState.liveModels) {
            const auto* o = static_cast<const mobileObject*>(link->object);
            const Ogre::Vector3 way(o->placement.x - o->previousPlacement.x, o->placement.z - o->previousPlacement.z,
                                    o->placement.y - o->previousPlacement.y);
            if (link->model && !o->placedAnew && way.length() > 1e-3f)
                before.push_back({link->model, link->model->root->getPosition(), way.normalisedCopy()});
        }
        ASSERT_GE(before.size(), 5u) << c.what << ": too few moving figures to tell";

        pressP();
        for (int i = 0; i < 30; ++i)
            frameAfter(16);
        pausedAtMs += c.musicOffMs;
        pressP();
        frameAfter(1);
        int compared = 0;
        for (const Drawn& d : before) {
            for (const ObjectModelLink* link : playState.liveModels) {
                if (link->model != d.figure)
                    continue;
                const float along = (link->model->root->getPosition() - d.at).dotProduct(d.heading);
                EXPECT_GT(along, -0.01f) << c.what << ": a figure drawn back by " << -along;
                ++compared;
            }
        }
        EXPECT_EQ(compared, int(before.size())) << c.what;
    }
}

TEST_F(PlayFrames, TheFirstShotOfTheFirstGamePlaysTheFiringAnimation)
{
    // The play screen is a global built before the program's first line;
    // only the first game of a process shows what that left.
    if (gamesInThisProcess != 1)
        GTEST_SKIP() << "not the first game of this process";
    frameAfter(16);
    ASSERT_NE(playState.playerModel, nullptr);
    kestor* player = world().player;
    player->fireRequested = true;
    player->fireKind = 0;
    frameAfter(16);
    ASSERT_TRUE(player->hasFrameEvent(EVENT_FIRED));
    const std::vector<int>& running = playState.playerModel->activeAnimations;
    EXPECT_NE(std::find(running.begin(), running.end(), 2), running.end())
        << "the first shot played no firing animation (it waits for " << playState.nextFireAnimMs
        << " ms on a clock at " << playState.nowMs << " ms)";
}

TEST_F(PlayFrames, AResumeTakesSongTimeFromTheMusic)
{
    frameAfter(16);
    frameAfter(16);
    press(input::KC_P);
    EXPECT_TRUE(audio.newest(GAME_MUSIC)->paused);
    for (int i = 0; i < 30; ++i)
        frameAfter(16);
    // The music stands far ahead of where song time stopped.
    audio.newest(GAME_MUSIC)->position = 12345;
    const int stepBefore = world().now;
    const long stepsBefore = world().stepsRun;
    press(input::KC_P);
    EXPECT_FALSE(audio.newest(GAME_MUSIC)->paused);
    EXPECT_FALSE(shownOnScreen(playState.pauseText));
    EXPECT_EQ(songMs(), 12345);
    EXPECT_EQ(world().now, stepBefore);  // the steps keep their grid
    // The next frame runs every step up to the music, each on the grid.
    frameAfter(16);
    const int due = (12345 + 16 - stepBefore) / STEP_MS;
    EXPECT_EQ(world().stepsRun, stepsBefore + due);
    EXPECT_EQ(world().now, stepBefore + due * STEP_MS);
}

TEST_F(PlayFrames, TheFrameTheShipIsDestroyedDropsTheMusicAndTheNextStartsTheShake)
{
    musicVolume = 1.0f;
    for (int i = 0; i < 5; ++i)
        frameAfter(16);
    ASSERT_NE(playState.playerModel, nullptr);
    kestor* player = world().player;
    player->respawning = false;
    player->active = true;
    player->pendingDamage = 5.0f;
    const char* const explosion = "./media/kestor_explode.wav";
    const int explosions = audio.plays(explosion);

    frameAfter(16);
    ASSERT_TRUE(destroyedInFrame(*player));
    EXPECT_FLOAT_EQ(musicVolume, 1.0f - play::MUSIC_DROP_ON_DEATH);
    EXPECT_FLOAT_EQ(audio.newest(GAME_MUSIC)->volume, musicVolume);
    EXPECT_EQ(audio.plays(explosion), explosions + 1);
    EXPECT_FALSE(playState.shake.shaking);

    // The shake looks at the ship before the world's update: a frame later.
    const Ogre::Vector3 before = playState.camera->getPosition();
    frameAfter(16);
    EXPECT_TRUE(playState.shake.shaking);
    EXPECT_EQ(playState.camera->getPosition(), Ogre::Vector3(before.x + 0.1f, before.y + 0.1f, -43));
    EXPECT_EQ(audio.plays(explosion), explosions + 1);
}

TEST_F(PlayFrames, TheFrameTheGameEndsUpdatesTheTextsAndCameraAndPushesTheEndScreenOnly)
{
    // A frame whose steps hold the first note that changes the colours and
    // add an enemy: with the game going on, the scheme changes and the enemy
    // gets its figure; with the game ending in it, neither.
    struct Case {
        const char* what;
        bool ends;
    };
    for (const Case c : {Case{"the game goes on", false}, Case{"the game ends", true}}) {
        newGame();
        const int noteMs = world().songScore->event(169).occurrences.begin()->first;
        ASSERT_GT(noteMs, 1000);
        frameAfter(16);
        // The game jumps to just before the note, the steps with it.
        world().now = noteMs - 40;
        world().clockOffset = noteMs - 40 - int(clock.clockMs());
        frameAfter(16);
        frameAfter(16);
        ASSERT_EQ(world().now, noteMs - 8) << c.what;
        // No colour fade left running from the song time skipped.
        ModelManager& models = *playState.modelManager;
        models.currentScheme = models.targetScheme;
        models.fading = false;
        const int scheme = models.targetScheme;
        auto* enemy = new mobileObject();
        enemy->setDefaults(&world());
        enemy->type = 5;
        enemy->setPosition(0.5f, 2.0f);
        world().addObject(enemy);
        if (c.ends)
            world().player->lives = 0;

        frameAfter(16);
        EXPECT_EQ(top() == &justEndedState, c.ends) << c.what;
        EXPECT_EQ(world().phase, c.ends ? PHASE_LOST : PHASE_PLAYING) << c.what;
        EXPECT_EQ(caption(playState.livesText), std::to_string(world().player->lives)) << c.what;
        expectCameraOnThePlayer(c.what);
        EXPECT_EQ(hasLink(enemy), !c.ends) << c.what;
        EXPECT_EQ(models.targetScheme != scheme, !c.ends) << c.what;
    }
}

} // namespace
