// The figures drawn in batches give the picture that drawing every part by
// its own entity gives: the same frame is drawn both ways, one after the
// other, and compared pixel by pixel. The frames: the menu, and play at
// three busy moments of a game at a fixed seed (the tube full of scenery
// markers, a wave of bees, the tentacle boss coming in); and a figure with
// mirrored parts, whose faces the engine shows with its culling turned
// round.
#include "tests/screens/screen_fixture.h"
#include "tests/model/test_figures.h"

#include "app/NodePool.h"
#include "app/PlayState.h"
#include "app/Screens.h"
#include "model/Animation.h"
#include "model/FigureBatch.h"
#include "model/ModelManager.h"
#include "platform/random.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/mobileObject.h"

#include <Ogre.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_MS = 16;
// A pixel differs when a channel is off by more than this (of 255).
constexpr int CHANNEL_TOLERANCE = 24;
// The share of pixels that may differ: the two ways round some vertices
// differently, which moves a few edge pixels (tens of 480,000).
constexpr double DIFFERING_SHARE = 0.0005;

struct Picture {
    std::vector<unsigned char> rgb;
    std::size_t draws = 0;
    std::size_t triangles = 0;
};

class BatchedPicture : public ScreenTest {
protected:
    void TearDown() override
    {
        setBatchedDrawing(true);
        ScreenTest::TearDown();
    }

    Picture draw(bool batched)
    {
        setBatchedDrawing(batched);
        game->root->renderOneFrame();
        Picture p;
        p.draws = game->window->getStatistics().batchCount;
        p.triangles = game->window->getStatistics().triangleCount;
        const unsigned w = game->window->getWidth(), h = game->window->getHeight();
        p.rgb.assign(std::size_t(w) * h * 3, 0);
        Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, p.rgb.data());
        game->window->copyContentsToMemory(box, box);
        return p;
    }

    // Draws the current frame both ways and compares; writes both pictures
    // when they differ.
    void compareBothWays(const std::string& moment)
    {
        SCOPED_TRACE(moment);
        const Picture perPart = draw(false);
        const Picture batched = draw(true);
        std::size_t differing = 0, lit = 0;
        for (std::size_t i = 0; i < perPart.rgb.size(); i += 3) {
            int worst = 0;
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(int(perPart.rgb[i + c]) - int(batched.rgb[i + c])));
            if (worst > CHANNEL_TOLERANCE)
                ++differing;
            if (perPart.rgb[i] + perPart.rgb[i + 1] + perPart.rgb[i + 2] > 30)
                ++lit;
        }
        const std::size_t pixels = perPart.rgb.size() / 3;
        std::printf("[ picture ] %s: %zu draws (%zu triangles) per part, %zu (%zu) batched; %zu of %zu pixels lit, "
                    "%zu differ\n",
                    moment.c_str(), perPart.draws, perPart.triangles, batched.draws, batched.triangles, lit, pixels,
                    differing);
        EXPECT_GT(lit, pixels / 50) << "the frame shows hardly anything";
        EXPECT_LE(double(differing), DIFFERING_SHARE * double(pixels));
        EXPECT_LT(batched.draws, perPart.draws);
        if (double(differing) > DIFFERING_SHARE * double(pixels)) {
            setBatchedDrawing(false);
            game->root->renderOneFrame();
            game->window->writeContentsToFile("picture_" + moment + "_per_part.png");
            setBatchedDrawing(true);
            game->root->renderOneFrame();
            game->window->writeContentsToFile("picture_" + moment + "_batched.png");
        }
    }

    int songMs() { return int(clock.clockMs()) + playState.world->clockOffset; }

    void protectPlayer()
    {
        playState.world->player->respawning = true;
        playState.world->player->invulnerableUntil = INT_MAX;
    }

    // Runs the play screen's logic, undrawn, up to song time ms, or, given a
    // wave, up to ms after its first launch; then starts the next frame.
    void playUntil(int ms, const std::vector<int>* launches)
    {
        auto due = [&] { return launches ? (launches->empty() ? INT_MAX : launches->front() + ms) : ms; };
        while (top() == &playState && songMs() + FRAME_MS < due()) {
            protectPlayer();
            clock.advance(FRAME_MS);
            Ogre::FrameEvent evt{};
            ASSERT_TRUE(game->frameStarted(evt));
            ASSERT_TRUE(game->frameEnded(evt));
        }
        ASSERT_EQ(top(), &playState);
        protectPlayer();
        clock.advance(FRAME_MS);
        Ogre::FrameEvent evt{};
        ASSERT_TRUE(game->frameStarted(evt));
    }

    int countOf(int type) const
    {
        int n = 0;
        for (const ObjectModelLink* link : playState.liveModels)
            n += link->object && link->object->type == type;
        return n;
    }
};

} // namespace

TEST_F(BatchedPicture, MenuAndThreeBusyMomentsOfPlayLookTheSame)
{
    game->pacer.setRate(0);
    plat::srand(18);
    game->changeState(&menuState);
    ASSERT_EQ(top(), &menuState);
    for (int i = 0; i < 30; ++i) {
        clock.advance(FRAME_MS);
        ASSERT_TRUE(frame(clock.clockMs()));
    }
    clock.advance(FRAME_MS);
    Ogre::FrameEvent evt{};
    ASSERT_TRUE(game->frameStarted(evt));
    compareBothWays("menu");
    ASSERT_TRUE(game->frameEnded(evt));

    plat::srand(18);
    press(input::KC_RETURN);
    ASSERT_EQ(top(), &playState);

    struct Moment {
        const char* name;
        int ms;  // song time, or time after the first launch of the wave
        const std::vector<int>* wave;
        int type;  // a figure type that must be in play then
    };
    const Moment moments[] = {
        {"markers", 12500, nullptr, TYPE_MARKER},
        {"tentacle_boss", 1500, &tentheadWaveA.launchTimesMs, TYPE_TENTHEAD},
        {"bees", 2500, &beeWave.launchTimesMs, TYPE_BEE},
    };
    for (const Moment& m : moments) {
        playUntil(m.ms, m.wave);
        if (HasFatalFailure())
            return;
        std::printf("[ picture ] %s at %d ms: %zu figures, %d of type %d\n", m.name, songMs(),
                    playState.liveModels.size(), countOf(m.type), m.type);
        EXPECT_GT(countOf(m.type), 0) << m.name;
        compareBothWays(m.name);
        ASSERT_TRUE(game->frameEnded(evt));
    }
}

TEST_F(BatchedPicture, MirroredPartsLookTheSame)
{
    // A cube and a pyramid each mirrored by its node, and a plain cube, on
    // a turned root in a lit scene of their own.
    Ogre::SceneManager* scene = game->root->createSceneManager();
    scene->setAmbientLight(Ogre::ColourValue(0.2f, 0.2f, 0.2f));
    Ogre::Light* lamp = scene->createLight("lamp");
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(-4, 5, 10))->attachObject(lamp);
    Ogre::Camera* camera = scene->createCamera("view");
    camera->setNearClipDistance(1);
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 12))->attachObject(camera);
    Ogre::Viewport* view = game->window->addViewport(camera);
    view->setBackgroundColour(Ogre::ColourValue::Black);
    camera->setAspectRatio(Ogre::Real(view->getActualWidth()) / Ogre::Real(view->getActualHeight()));
    auto* pool = new NodePool(scene);
    auto* models = new ModelManager(scene);
    static const FigureHeader header{FIGURE_TEST1, "mirrors", 5, 0, nullptr};
    Model* figure = new ScriptFigure(header, scene, pool->take(), 0, [](Model& m) {
        m.addPart(SHAPE_CUBE, "CUBE", 0);
        m.setPosition(-2.5, -1, 0);
        m.setScale(-1.5, 1.5, 1.5);
        m.selectNode(0);
        m.addPart(SHAPE_PYRAMID, "PYRAMID", 0);
        m.setPosition(2.5, -1, 0);
        m.setScale(1.5, -1.5, 1.5);
        m.selectNode(0);
        m.addPart(SHAPE_CUBE, "CUBE", 1);
        m.setPosition(0, 2.5, 0);
    });
    figure->root->setOrientation(rotationOf(0.6, 1, 1, 0));

    compareBothWays("mirrored_parts");

    delete figure;
    delete models;
    delete pool;
    game->window->removeAllViewports();
    game->root->destroySceneManager(scene);
}
