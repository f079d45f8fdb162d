// Pauses while figures explode, through the real play screen: a game at a
// fixed seed, a player who fires all the time and sweeps round the tube, a
// manual clock and an audio system that plays nothing. The game is paused
// at every frame of the first 40 s of the song in which a dying figure in
// view shows a damage flash that will end within the pause (the paused
// screen runs no figure update, but still ends flashes), and its parts,
// thrown through the lights, have been drawn in fewer batches under the
// flash than before it. In every frame drawn during a pause and for a while
// after the resume, every figure in view is drawn where its parts are.
#include "tests/screens/play_fixture.h"
#include "tests/figures/batch_checks.h"

#include "app/PlayState.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "model/ModelManager.h"
#include "platform/devices/keyboard.h"
#include "platform/random.h"
#include "world/gameWorld.h"
#include "world/kestor.h"

#include <Ogre.h>

#include <climits>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int FRAME_MS = 16;
// A flash lasts its rise and its fall.
constexpr int FLASH_MS = 2 * DAMAGE_FLASH_RISE_MS;

// Holds fire down and sweeps round the tube, left and right by turns.
class Player : public input::InputReader {
public:
    bool isKeyDown(int key) const override
    {
        const long sweep = (ms / 1500) % 4;
        return key == input::KC_SPACE || (key == input::KC_LEFT && sweep == 0) ||
               (key == input::KC_RIGHT && sweep == 2);
    }
    long ms = 0;
};

class PausedExplosion : public PlayScreenTest {
protected:
    // A small window: what is checked is where the batches are, not pixels.
    void SetUp() override
    {
        start(320, 240);
        if (IsSkipped() || HasFatalFailure())
            return;
        game->pacer.setRate(0);
        plat::srand(18);
        newGame();
        playState.reader = &player;
    }
    void TearDown() override
    {
        PlayScreenTest::TearDown();
        playState.reader = nullptr;
    }

    // One frame as the render loop runs it, with the player kept alive; the
    // figures in view are checked once drawn, before the frame ends.
    void playFrame(const std::string& phase, bool check)
    {
        world().player->respawning = true;
        world().player->invulnerableUntil = INT_MAX;
        player.ms += FRAME_MS;
        clock.advance(FRAME_MS);
        Ogre::FrameEvent evt{};
        ASSERT_TRUE(game->frameStarted(evt));
        game->root->renderOneFrame();
        if (check)
            expectFiguresInViewDrawnWhereTheirPartsAre(phase);
        for (const auto* links : {&playState.liveModels, &playState.dyingModels})
            for (const ObjectModelLink* link : *links)
                if (link->model && link->model->batch && !link->model->flashing)
                    batchesUnflashed[link->model] = link->model->batch->batchCount();
        ASSERT_TRUE(game->frameEnded(evt));
    }

    bool inView(const Model* figure) const
    {
        return figure && playState.camera->isVisible(figure->root->_getWorldAABB());
    }

    void expectFiguresInViewDrawnWhereTheirPartsAre(const std::string& phase)
    {
        for (const auto* links : {&playState.liveModels, &playState.dyingModels})
            for (const ObjectModelLink* link : *links) {
                if (!inView(link->model))
                    continue;
                const BatchMismatch m = batchMismatch(*link->model);
                EXPECT_TRUE(m.none()) << phase << ", drawn at " << songMs() << " ms: " << link->model->name << ": " << m;
            }
    }

    // A dying figure in view whose flash ends within the next `within` ms,
    // drawn in fewer batches than before its flash.
    const Model* flashEndingSoon(int within)
    {
        for (const ObjectModelLink* link : playState.dyingModels) {
            const Model* m = link->model;
            const auto before = batchesUnflashed.find(m);
            if (inView(m) && m->flashing && m->batch && before != batchesUnflashed.end() &&
                m->batch->batchCount() < before->second) {
                const int left = int(m->flashStartMs) + FLASH_MS - int(clock.clockMs());
                if (left > 2 * FRAME_MS && left < within)
                    return m;
            }
        }
        return nullptr;
    }

    Player player;
    // Each figure's batches when last drawn without a flash.
    std::map<const Model*, std::size_t> batchesUnflashed;
};

} // namespace

TEST_F(PausedExplosion, FiguresAreDrawnWhereTheirPartsAreDuringThePauseAndAfter)
{
    constexpr int PAUSED_FRAMES = 60;
    int pauses = 0;
    while (top() == &playState && songMs() < 40000) {
        playFrame("playing", false);
        if (HasFatalFailure())
            return;
        const Model* exploding = flashEndingSoon(PAUSED_FRAMES * FRAME_MS / 2);
        if (!exploding)
            continue;
        ++pauses;
        const std::string at = std::to_string(songMs()) + " ms, " + exploding->name + " exploding";
        pressP();
        ASSERT_EQ(world().phase, PHASE_PAUSED);
        for (int i = 0; i < PAUSED_FRAMES && !HasFatalFailure(); ++i)
            playFrame("paused at " + at, true);
        bool stillThere = false;
        for (const ObjectModelLink* link : playState.dyingModels)
            stillThere |= link->model == exploding;
        ASSERT_TRUE(stillThere) << at;
        EXPECT_FALSE(exploding->flashing) << at;

        pressP();
        ASSERT_EQ(world().phase, PHASE_PLAYING);
        for (int i = 0; i < 40 && top() == &playState && !HasFatalFailure(); ++i)
            playFrame("resumed from " + at, true);
    }
    std::printf("[ pauses ] %d\n", pauses);
    EXPECT_GT(pauses, 0) << "no figure died flashing in view";
}
