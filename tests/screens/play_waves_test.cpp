// A whole game on the play screen in a real window, with the player kept out
// of harm's way so that the song plays to its end: a fixed time after every
// wave launch, each enemy well inside the tube has a figure whose entities are
// shown inside the camera's view, and the window has lit pixels where the
// figure's root projects.
#include "tests/screens/screen_fixture.h"

#include "app/MenuLogic.h"
#include "app/PlayState.h"
#include "app/Screens.h"
#include "model/Model.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/mobileObject.h"
#include "world/sharedConstants.h"

#include <Ogre.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int FRAME_MS = 16;
// The enemies of a wave have flown into the tube by then.
constexpr int CHECK_AFTER_LAUNCH_MS = 3000;
// Well inside the tube: past its near end and short of its far end.
constexpr float INSIDE_MIN_V = 0.1f;
constexpr float INSIDE_MAX_V = TUBE_FAR_END * 0.875f;
// Pixels searched around a projected root, and kept clear of the window edge.
constexpr int SEARCH_RADIUS_PX = 6;
// Brighter than the clear colour (0.01 of full, 2 or 3 of 255) in any channel.
constexpr int LIT_LEVEL = 12;
// The song launches 125 waves, every one of them still in the tube at its
// checkpoint; far fewer means the game did not play through.
constexpr int MIN_WAVES_CHECKED = 110;

struct Template {
    const char* name;
    const std::vector<int>* launches;
    int type;
};

std::vector<Template> templates()
{
    return {{"asteroid", &asteroidWave.launchTimesMs, asteroidWave.prototype.type},
            {"bee", &beeWave.launchTimesMs, beeWave.prototype.type},
            {"blocker", &blockerWave.launchTimesMs, blockerWave.prototype.type},
            {"dragonfly", &dragonflyWave.launchTimesMs, dragonflyWave.prototype.type},
            {"mosquito", &mosquitoWave.launchTimesMs, mosquitoWave.prototype.type},
            {"flower", &flowerWave.launchTimesMs, flowerWave.prototype.type},
            {"scorpion", &scorpionWave.launchTimesMs, scorpionWave.prototype.type},
            {"snakeA", &snakeWaveA.launchTimesMs, snakeWaveA.prototype.type},
            {"snakeB", &snakeWaveB.launchTimesMs, snakeWaveB.prototype.type},
            {"spike", &spikeWave.launchTimesMs, spikeWave.prototype.type},
            {"tentacleA", &tentacleWaveA.launchTimesMs, tentacleWaveA.prototype.type},
            {"tentheadA", &tentheadWaveA.launchTimesMs, tentheadWaveA.prototype.type},
            {"tentacleB", &tentacleWaveB.launchTimesMs, tentacleWaveB.prototype.type},
            {"tentheadB", &tentheadWaveB.launchTimesMs, tentheadWaveB.prototype.type}};
}

bool isEnemy(int type)
{
    return type != TYPE_MARKER && type != TYPE_BULLET && type != TYPE_MARKER_2 && type != TYPE_PLAYER;
}

struct Wave {
    int launchMs;
    int templateIndex;
};

class PlayWaves : public ScreenTest {
protected:
    // Song time as the world reads it.
    int songMs() { return int(clock.clockMs()) + playState.world->clockOffset; }

    // The screen's frame logic without drawing: the world and figure steps.
    bool logicFrame(long nowMs)
    {
        clock.set(nowMs);
        Ogre::FrameEvent evt{};
        const bool go = game->frameStarted(evt);
        return game->frameEnded(evt) && go;
    }

    void protectPlayer()
    {
        if (top() != &playState)
            return;
        playState.world->player->respawning = true;
        playState.world->player->invulnerableUntil = INT_MAX;
    }

    void grab()
    {
        const unsigned w = game->window->getWidth(), h = game->window->getHeight();
        pixels.assign(std::size_t(w) * h * 3, 0);
        Ogre::PixelBox box(w, h, 1, Ogre::PF_BYTE_RGB, pixels.data());
        game->window->copyContentsToMemory(box, box);
    }

    // Whether any pixel near (x, y) differs between the two pictures.
    bool changedAround(const std::vector<unsigned char>& other, int x, int y) const
    {
        const int w = int(game->window->getWidth()), h = int(game->window->getHeight());
        for (int dy = -SEARCH_RADIUS_PX; dy <= SEARCH_RADIUS_PX; ++dy)
            for (int dx = -SEARCH_RADIUS_PX; dx <= SEARCH_RADIUS_PX; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px < 0 || py < 0 || px >= w || py >= h)
                    continue;
                const std::size_t i = (std::size_t(py) * w + px) * 3;
                if (pixels[i] != other[i] || pixels[i + 1] != other[i + 1] || pixels[i + 2] != other[i + 2])
                    return true;
            }
        return false;
    }

    bool litAround(int x, int y) const
    {
        const int w = int(game->window->getWidth()), h = int(game->window->getHeight());
        for (int dy = -SEARCH_RADIUS_PX; dy <= SEARCH_RADIUS_PX; ++dy)
            for (int dx = -SEARCH_RADIUS_PX; dx <= SEARCH_RADIUS_PX; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px < 0 || py < 0 || px >= w || py >= h)
                    continue;
                const unsigned char* p = &pixels[(std::size_t(py) * w + px) * 3];
                if (p[0] > LIT_LEVEL || p[1] > LIT_LEVEL || p[2] > LIT_LEVEL)
                    return true;
            }
        return false;
    }

    // Checks every enemy well inside the tube; returns the number checked per
    // type and fills inside with the number inside the tube per type.
    std::map<int, int> checkEnemies(std::map<int, int>& inside)
    {
        std::map<int, int> checked;
        grab();
        Ogre::Camera* camera = playState.camera;
        const Ogre::Matrix4 viewProjection = camera->getProjectionMatrix() * camera->getViewMatrix();
        const int w = int(game->window->getWidth()), h = int(game->window->getHeight());
        for (const ObjectModelLink* link : playState.liveModels) {
            const auto* o = static_cast<const mobileObject*>(link->object);
            if (!isEnemy(o->type))
                continue;
            const float v = o->position.getV();
            if (v < INSIDE_MIN_V || v > INSIDE_MAX_V)
                continue;
            ++inside[o->type];
            SCOPED_TRACE(::testing::Message() << "type " << o->type << " at u " << o->position.getU() << " v " << v);
            Model* figure = link->model;
            EXPECT_NE(figure, nullptr) << "an enemy without a figure";
            if (!figure || !figure->root)
                continue;
            const Ogre::Vector3 at = figure->root->_getDerivedPosition();
            const Ogre::Vector4 clip = viewProjection * Ogre::Vector4(at.x, at.y, at.z, 1);
            if (clip.w <= 0)
                continue;  // behind the camera
            const int x = int((clip.x / clip.w + 1) * 0.5f * w);
            const int y = int((1 - clip.y / clip.w) * 0.5f * h);
            if (x < SEARCH_RADIUS_PX || y < SEARCH_RADIUS_PX || x >= w - SEARCH_RADIUS_PX ||
                y >= h - SEARCH_RADIUS_PX)
                continue;  // at the edge of the view
            int shown = 0, inView = 0;
            for (const Shape* part : figure->parts) {
                if (!part->entity)
                    continue;
                ++shown;
                EXPECT_TRUE(part->entity->isVisible()) << part->entity->getName();
                if (camera->isVisible(part->entity->getWorldBoundingBox(true)))
                    ++inView;
            }
            EXPECT_GT(shown, 0) << "a figure without entities";
            EXPECT_GT(inView, 0) << "no entity of the figure inside the camera's view";
            EXPECT_TRUE(litAround(x, y)) << "nothing drawn around (" << x << ", " << y << ")";
            ++checked[o->type];
            drawn.push_back({figure, o->type, x, y, o->position.getU(), v});
        }
        // The lit pixels are the figures' own: the same frame drawn again
        // without any enemy figure differs around each checked one (an enemy
        // in front of another is hidden with it).
        std::vector<unsigned char> with;
        with.swap(pixels);
        std::vector<std::pair<Ogre::Entity*, bool>> hidden;
        auto hide = [&hidden](const ObjectModelLink* link) {
            if (link->model && (!link->object || isEnemy(link->object->type)))
                for (const Shape* part : link->model->parts)
                    if (part->entity) {
                        hidden.push_back({part->entity, part->entity->getVisible()});
                        part->entity->setVisible(false);
                    }
        };
        for (const ObjectModelLink* link : playState.liveModels)
            hide(link);
        for (const ObjectModelLink* link : playState.dyingModels)
            hide(link);
        game->root->renderOneFrame();
        grab();

        for (const auto& h : hidden)
            h.first->setVisible(h.second);
        for (const Drawn& d : drawn)
            EXPECT_TRUE(changedAround(with, d.x, d.y))
                << "type " << d.type << " at u " << d.u << " v " << d.v << ": the picture around (" << d.x << ", " << d.y
                << ") is the same without the figure";
        enemiesDrawn += int(drawn.size());
        drawn.clear();
        return checked;
    }

    struct Drawn {
        Model* figure;
        int type, x, y;
        float u, v;
    };
    std::vector<Drawn> drawn;
    int enemiesDrawn = 0;

    std::vector<unsigned char> pixels;
};

} // namespace

TEST_F(PlayWaves, EveryWavesEnemiesAreDrawnInTheWindow)
{
    const auto start = std::chrono::steady_clock::now();
    // The frames run on the manual clock as fast as they can; the cap would
    // hold the whole song to its real length.
    game->pacer.setRate(0);
    game->changeState(&menuState);
    ASSERT_EQ(top(), &menuState);
    ASSERT_EQ(menuState.selectedItem, ITEM_PLAY);
    press(input::KC_RETURN);
    ASSERT_EQ(top(), &playState);

    const std::vector<Template> kinds = templates();
    std::vector<std::size_t> seen(kinds.size(), 0);
    std::vector<Wave> pending;  // launched, not yet checked
    int wavesChecked = 0, wavesInTube = 0, checkpoints = 0;
    long now = clock.clockMs();
    const int lastSongMs = END_RULE_TIME_MS + 5000;

    while (top() == &playState && songMs() < lastSongMs) {
        now += FRAME_MS;
        protectPlayer();
        bool checkpoint = false;
        for (const Wave& wave : pending)
            if (songMs() + FRAME_MS >= wave.launchMs + CHECK_AFTER_LAUNCH_MS)
                checkpoint = true;
        if (!checkpoint) {
            ASSERT_TRUE(logicFrame(now));
        } else {
            ASSERT_TRUE(frameStart(now));
            if (top() != &playState)
                break;
            ++checkpoints;
            std::map<int, int> inside;
            const std::map<int, int> checked = checkEnemies(inside);
            for (auto it = pending.begin(); it != pending.end();) {
                if (songMs() < it->launchMs + CHECK_AFTER_LAUNCH_MS) {
                    ++it;
                    continue;
                }
                const Template& kind = kinds[it->templateIndex];
                const int n = checked.count(kind.type) ? checked.at(kind.type) : 0;
                const int in = inside.count(kind.type) ? inside.at(kind.type) : 0;
                std::printf("[  wave   ] launch %6d ms, checked at %6d ms, template %2d (%s): %d of its kind in "
                            "the tube, %d checked on screen\n",
                            it->launchMs, songMs(), it->templateIndex, kind.name, in, n);
                SCOPED_TRACE(::testing::Message() << "wave of " << kind.name << " launched at " << it->launchMs);
                ++wavesChecked;
                if (in > 0) {
                    ++wavesInTube;
                    EXPECT_GT(n, 0) << "enemies in the tube, none checked on screen";
                }
                it = pending.erase(it);
            }
            ASSERT_TRUE(frameEnd());
        }
        protectPlayer();
        if (top() != &playState)
            break;
        for (std::size_t k = 0; k < kinds.size(); ++k)
            for (; seen[k] < kinds[k].launches->size(); ++seen[k])
                pending.push_back({(*kinds[k].launches)[seen[k]], int(k)});
        if (HasFatalFailure())
            return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[  waves  ] %d waves checked at %d checkpoints, %d with enemies in the tube, %d enemy figures "
                "checked, %.1f s\n",
                wavesChecked, checkpoints, wavesInTube, enemiesDrawn, seconds);
    EXPECT_GE(wavesInTube, MIN_WAVES_CHECKED);
    EXPECT_TRUE(pending.empty()) << pending.size() << " waves launched too late to check";
    // The song ran to its end with the player alive: the end screen is up.
    EXPECT_EQ(top(), &justEndedState);
}
