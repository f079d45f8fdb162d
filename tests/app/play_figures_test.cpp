// The play screen's figure steps on a headless engine: figures made for new
// objects and drawn where their objects are at the frame's own time, their
// reactions to events, the bullets' style, destruction with its sounds, the
// player's figure rebuilt after each loss and its damage poses, and nothing
// left behind.
#include "app/NodePool.h"
#include "app/PlayRules.h"
#include "app/PlayState.h"
#include "app/SoundManager.h"
#include "figures/FigureTable.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "platform/clock.h"
#include "song/timeEventSection.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/mobileObject.h"
#include "world/ship.h"
#include "world/sharedConstants.h"
#include "tests/app/fake_audio.h"
#include "tests/model/test_log.h"

#include <OgreCamera.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Seven animations, as the enemy figures have: 0 the destruction (300 ms),
// 1 the idle loop (1000 ms), 2 to 6 reactions of 200 ms.
Track move(int ms) { return keyframes(1, POSITION, {{0, {0, 0, 0}}, {ms, {0, 1, 0}}}); }
const AnimationTable ACTOR_ANIMATIONS = {{move(300)}, {move(1000)}, {move(200)}, {move(200)},
                                         {move(200)}, {move(200)}, {move(200)}};
const FigureHeader ACTOR{FIGURE_TEST1, "actor", 3, 0, &ACTOR_ANIMATIONS};

class Actor : public Model {
public:
    Actor(Ogre::SceneManager* s, Ogre::SceneNode* root, int n)
    {
        beginFigure(ACTOR, s, root, n);
        pushNode();
        addNodeToGroup(1);
        addPart(SHAPE_CUBE, "CUBE0", 0);
    }
};
Model* makeActor(Ogre::SceneManager* s, Ogre::SceneNode* root, int n) { return new Actor(s, root, n); }

// The game's table with an actor for every row.
struct ActorTable {
    ActorTable()
    {
        const FigureTable& game = gameFigureTable();
        types.assign(game.types, game.types + game.typeCount);
        for (FigureType& row : types)
            row.build = makeActor;
        table = {types.data(), int(types.size()), nullptr, 0, game.sceneryScale};
    }
    std::vector<FigureType> types;
    FigureTable table;
};

class PlayFigures : public ::testing::Test {
protected:
    void SetUp() override
    {
        testLogManager();
        root = new Ogre::Root("", "", "");
        buffers = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        ModelManager::useFigureTable(&actors.table);
        ModelManager::setShooterLookup(shooterTypeOf);
        screen.sounds = &sounds;
        screen.sceneManager = root->createSceneManager();
        screen.camera = screen.sceneManager->createCamera("PlayerCam");
        screen.nodePool = new NodePool(screen.sceneManager);
        screen.modelManager = new ModelManager(screen.sceneManager);
        screen.world = new gameWorld();
        clock.advance(16);
        screen.world->update(0);  // one step: ready -> playing
        // An empty frame window: no score event (no beat) in these frames.
        screen.world->section->previousFrameMs = screen.world->section->currentFrameMs = -100;
        screen.nowMs = 1000;
        baseline = entities();
    }

    void TearDown() override
    {
        delete screen.world;
        screen.world = nullptr;
        for (auto* list : {&screen.liveModels, &screen.dyingModels}) {
            for (ObjectModelLink* l : *list) {
                delete l->model;
                delete l;
            }
            list->clear();
        }
        delete screen.modelManager;
        delete screen.nodePool;
        nodePool = nullptr;
        delete root;
        delete buffers;
        ModelManager::useFigureTable(nullptr);
        ModelManager::setShooterLookup(nullptr);
    }

    std::size_t entities() const { return screen.sceneManager->getMovableObjects("Entity").size(); }

    // An enemy of the given type, added to the world as the spawner does.
    mobileObject* addEnemy(int type)
    {
        auto* o = new mobileObject();
        o->setDefaults(screen.world);
        o->type = type;
        o->setPosition(0.5f, 2.0f);
        screen.world->addObject(o);
        o->showEvents();
        return o;
    }

    // A code raised by an object in the last update, as the screen reads it
    // (the codes of every step the update ran).
    static void raise(simulationObject* o, int code)
    {
        o->raise(code);
        o->showEvents();
    }
    static void clearCodes(simulationObject* o)
    {
        o->clearEvents();
        o->frameEvents.clear();
    }

    // The figure steps of one frame of play, 16 ms after the last; then the
    // codes are gone, as the world's next update empties them.
    void frame()
    {
        clock.advance(16);
        screen.nowMs += 16;
        screen.handleRemovedObjects();
        screen.createNewModels();
        screen.updateLiveModels();
        screen.updateDyingModels();
        screen.updatePlayerFigure();
        for (mobileObject* o : screen.world->objects)
            clearCodes(o);
    }

    Model* figureOf(const simulationObject* o) const
    {
        for (ObjectModelLink* l : screen.liveModels)
            if (l->object == o)
                return l->model;
        return nullptr;
    }

    static std::vector<int> running(const Model* m) { return m->activeAnimations; }

    // One render frame of play as the screen runs it, us long on the clock.
    void playFrame(long long us)
    {
        clock.advanceUs(us);
        screen.nowMs = int(plat::clock());
        screen.world->update(0);
        screen.handleRemovedObjects();
        screen.createNewModels();
        screen.updateLiveModels();
        screen.updateDyingModels();
        screen.updatePlayerFigure();
        screen.followPlayer();
    }

    // The player out of its respawn at the rim, where a key steers it at once.
    kestor* steerablePlayer()
    {
        kestor* player = screen.world->player;
        player->respawning = false;
        player->active = true;
        player->setPosition(0.5f, 0.0f);
        return player;
    }

    // Where a figure's root stands for a placement (across, height, along).
    static Ogre::Vector3 nodeAt(const Placement& p) { return {p.x, p.z, p.y}; }

    plat::ManualClock clock{100000};
    FakeSystem audio;
    SoundManager sounds{&audio};
    ActorTable actors;
    Ogre::Root* root = nullptr;
    Ogre::DefaultHardwareBufferManager* buffers = nullptr;
    PlayState screen;
    std::size_t baseline = 0;
};

TEST_F(PlayFigures, NewObjectsGetFiguresNewestFirstAndThePlayerIsTracked)
{
    // The player was added by the world's constructor and still carries
    // EVENT_ADDED until its first step of play.
    mobileObject* a = addEnemy(5);
    mobileObject* b = addEnemy(6);
    screen.createNewModels();
    ASSERT_EQ(screen.liveModels.size(), 3u);
    EXPECT_EQ(screen.liveModels.front()->object, b);
    EXPECT_EQ((*std::next(screen.liveModels.begin()))->object, a);
    EXPECT_EQ(screen.liveModels.back()->object, screen.world->player);
    screen.updateLiveModels();
    EXPECT_EQ(screen.playerModel, figureOf(screen.world->player));
    EXPECT_TRUE(screen.camera->getAutoTrackTarget() == screen.playerModel->root);
    // The figure stands where its object's placement says.
    EXPECT_EQ(figureOf(a)->root->getPosition(),
              Ogre::Vector3(a->placement.x, a->placement.z, a->placement.y));
}

TEST_F(PlayFigures, APlainEnemysHitReplacesItsIdleLoopForGood)
{
    mobileObject* bee = addEnemy(5);
    frame();
    Model* f = figureOf(bee);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(running(f), std::vector<int>{1});
    raise(bee, EVENT_DAMAGED);
    screen.updateLiveModels();
    EXPECT_EQ(running(f), std::vector<int>{2});
    EXPECT_TRUE(f->flashing);
    // Once the hit is over nothing runs, and nothing starts again by itself.
    clearCodes(bee);
    for (int i = 0; i < 60; ++i)
        frame();
    EXPECT_TRUE(running(f).empty());
}

TEST_F(PlayFigures, TentaclePowerShotPlaysItsOwnAnimation)
{
    mobileObject* t = addEnemy(25);
    frame();
    Model* f = figureOf(t);
    raise(t, EVENT_FIRED);
    raise(t, EVENT_POWER_SHOT);
    screen.updateLiveModels();
    EXPECT_EQ(running(f), std::vector<int>{3});
    clearCodes(t);
    for (int i = 0; i < 20; ++i)
        frame();
    // Nothing running: the idle loop comes back.
    EXPECT_EQ(running(f), std::vector<int>{1});
}

TEST_F(PlayFigures, DestroyedEnemiesPlayTheirEndAndLeaveNothingBehind)
{
    frame();
    const std::size_t withPlayer = entities();
    for (int round = 0; round < 5; ++round) {
        mobileObject* bee = addEnemy(5);
        mobileObject* shot = addEnemy(8);
        mobileObject* gone = addEnemy(6);
        frame();
        EXPECT_EQ(entities(), withPlayer + 3);
        bee->hitPoints = 0;
        shot->hitPoints = 0;
        screen.world->removeObject(bee);
        screen.world->removeObject(shot);
        screen.world->removeObject(gone);  // culled, not destroyed
        frame();
        // The shot and the culled ship vanish at once; the bee explodes.
        EXPECT_EQ(screen.dyingModels.size(), 1u);
        EXPECT_EQ(running(screen.dyingModels.front()->model), std::vector<int>{0});
        // The world deletes them at its next update; song time is held where
        // it stands, so that update runs no step and nothing new enters.
        screen.world->clockOffset = screen.world->now - int(plat::clock());
        screen.world->update(screen.world->now);
        for (int i = 0; i < 30; ++i)
            frame();
        EXPECT_TRUE(screen.dyingModels.empty());
        EXPECT_EQ(entities(), withPlayer) << "round " << round;
    }
    EXPECT_EQ(screen.liveModels.size(), 1u);
}

TEST_F(PlayFigures, ABulletKeepsItsShootersStyleWhenTheShooterIsGoneBeforeItsFigureIsMade)
{
    frame();
    struct Case {
        int shooterType;
        Ogre::Vector3 stretch;
    };
    const Case cases[] = {{25, {1, 1, 1}}, {5, {1.5f, 3, 1.5f}}};
    for (const Case& c : cases) {
        auto* shooter = new ship();
        shooter->setDefaults(screen.world);
        shooter->type = c.shooterType;
        shooter->setPosition(0.25f, 1.0f);
        shooter->setHeading(180.0f);
        screen.world->addObject(shooter);
        bullet* shot = shooter->fire(125);
        ASSERT_NE(shot, nullptr);
        // Destroyed at once: the update that shows the shot forgets the
        // shooter before the screen makes the bullet's figure.
        shooter->hitPoints = 0;
        screen.world->removeObject(shooter);
        clock.advance(32);
        screen.nowMs += 32;
        screen.world->update(0);
        ASSERT_EQ(shot->owner, nullptr);
        screen.handleRemovedObjects();
        screen.createNewModels();
        const Model* f = figureOf(shot);
        ASSERT_NE(f, nullptr) << c.shooterType;
        const Placement& p = shot->placement;
        EXPECT_EQ(f->root->getScale(), Ogre::Vector3(p.scaleX, p.scaleY, p.scaleZ) * c.stretch)
            << c.shooterType;
    }
}

TEST_F(PlayFigures, ARemovedObjectsSoundGoesByItsTypeAndWhetherItWasDestroyed)
{
    frame();
    struct Case {
        const char* what;
        int type;
        bool destroyed;
        const char* sound;  // null: none
    };
    const Case cases[] = {
        {"a tentacle head", 26, true, "./media/boss_explode.wav"},
        {"a tentacle", 25, true, "./media/enemy_explode.wav"},
        {"a bee", 5, true, "./media/enemy_explode.wav"},
        {"a bullet", 8, true, nullptr},
        {"a bee that left the tube", 5, false, nullptr},
        {"a head that left the tube", 26, false, nullptr},
    };
    const char* explosions[] = {"./media/boss_explode.wav", "./media/enemy_explode.wav"};
    for (const Case& c : cases) {
        mobileObject* o = addEnemy(c.type);
        frame();
        ASSERT_NE(figureOf(o), nullptr) << c.what;
        int before[2];
        for (int k = 0; k < 2; ++k)
            before[k] = audio.plays(explosions[k]);
        if (c.destroyed)
            o->hitPoints = 0;
        screen.world->removeObject(o);
        frame();
        for (int k = 0; k < 2; ++k) {
            const bool expected = c.sound && std::string(c.sound) == explosions[k];
            EXPECT_EQ(audio.plays(explosions[k]) - before[k], expected ? 1 : 0)
                << c.what << ", " << explosions[k];
        }
    }
}

TEST_F(PlayFigures, ThePlayersFigureIsRebuiltAfterEachLossWithoutLeaking)
{
    frame();
    const std::size_t withPlayer = entities();
    kestor* player = screen.world->player;
    for (int loss = 0; loss < 4; ++loss) {
        Model* before = screen.playerModel;
        ASSERT_NE(before, nullptr);
        raise(player, EVENT_DESTROYED);
        frame();
        EXPECT_EQ(running(before), std::vector<int>{0});
        // The rebuild holds back firing animations for 2000 ms (the new
        // figure may well get the old one's address, so that tells nothing).
        const int mark = screen.nextFireAnimMs;
        for (int i = 0; i < 30 && screen.nextFireAnimMs == mark; ++i)
            frame();
        ASSERT_NE(screen.playerModel, nullptr);
        EXPECT_FALSE(screen.playerModel->finished);
        EXPECT_TRUE(screen.playerModel->activeAnimations.empty());
        EXPECT_EQ(screen.nextFireAnimMs, screen.nowMs + 2000);
        EXPECT_TRUE(screen.camera->getAutoTrackTarget() == screen.playerModel->root);
        EXPECT_EQ(entities(), withPlayer) << "loss " << loss;
    }
}

TEST_F(PlayFigures, DamagePosesHoldTheirFirstWindowAndOutlastAShot)
{
    // The player's real figure: with two lives its animation 4 moves the fin
    // of rear wing A1 (node 19) from (0, -1, 0) toward (14, 5, 13) in its
    // first 500 ms; started anew every 16-ms frame it holds 16/500 of that.
    ModelManager::useFigureTable(&gameFigureTable());
    frame();
    Model* f = screen.playerModel;
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->nodeCount, 35);
    kestor* player = screen.world->player;
    player->lives = 2;
    const Ogre::Vector3 held = Ogre::Vector3(0, -1, 0) + Ogre::Vector3(14, 6, 13) * (16.0f / 500);
    auto fin = [f] { return f->nodes[19]->getPosition(); };
    for (int i = 0; i < 125; ++i)  // two seconds, far past the pose's 750 ms
        frame();
    EXPECT_TRUE(fin().positionEquals(held, 1e-3f)) << fin();
    for (int id : {3, 4})
        EXPECT_EQ(f->animations[id].startMs, screen.nowMs) << "pose " << id << " not started this frame";

    // A shot plays animation 2 over the fins; once it is over the pose holds
    // again.
    screen.nextFireAnimMs = 0;
    raise(player, EVENT_FIRED);
    frame();
    EXPECT_EQ(running(f), std::vector<int>{2});
    for (int i = 0; i < 95; ++i)  // a second and a half
        frame();
    EXPECT_TRUE(fin().positionEquals(held, 1e-3f)) << fin();
}

TEST_F(PlayFigures, AShipSteeredSteadilyAndABulletInFlightAreDrawnAdvancingEvenly)
{
    frame();
    kestor* player = steerablePlayer();
    struct Case {
        const char* what;
        long long frameUs;
    };
    const Case cases[] = {{"60 Hz", 16667}, {"75 Hz", 13333}, {"144 Hz", 6944}, {"30 Hz", 33333}};
    for (const Case& c : cases) {
        auto* shot = new bullet(0.0f, screen.world, PositionSpec::at(0.3f, 0.5f));  // flies +v
        screen.world->addObject(shot);
        const mobileObject* movers[] = {player, shot};
        std::vector<Ogre::Vector3> drawn[3];  // the ship, the bullet, the camera
        for (int frame = 0; frame < 50; ++frame) {
            clock.advanceUs(c.frameUs);
            screen.nowMs = int(plat::clock());
            player->movePlusU();  // the key held down
            screen.world->update(0);
            screen.handleRemovedObjects();
            screen.createNewModels();
            screen.updateLiveModels();
            screen.followPlayer();
            for (int k = 0; k < 2; ++k)
                drawn[k].push_back(figureOf(movers[k])->root->getPosition());
            drawn[2].push_back(screen.camera->getPosition());
        }
        // From the third frame on (the bullet appears where it was fired),
        // every frame moves each the same way within a few percent.
        const char* names[] = {"ship", "bullet", "camera"};
        for (int k = 0; k < 3; ++k) {
            std::vector<float> way;
            for (std::size_t i = 3; i < drawn[k].size(); ++i)
                way.push_back(drawn[k][i].distance(drawn[k][i - 1]));
            float mean = 0;
            for (float w : way)
                mean += w / float(way.size());
            EXPECT_GT(mean, 0.0f) << c.what << ", " << names[k];
            for (std::size_t i = 0; i < way.size(); ++i)
                EXPECT_NEAR(way[i], mean, mean * 0.03f) << c.what << ", " << names[k] << ", frame " << i + 3;
        }
        // The bullet covers its speed's way along the tube in a frame.
        const float along = BULLET_SPEED * float(c.frameUs) * 1e-6f * TUBE_LENGTH_SCALE;
        EXPECT_NEAR(drawn[1].back().distance(drawn[1][drawn[1].size() - 2]), along, along * 0.03f) << c.what;
    }
}

TEST_F(PlayFigures, ThePlayersFigureAndTheCameraShowOnePlacementInEveryFrameThroughALoss)
{
    frame();
    kestor* player = steerablePlayer();
    bool lost = false;
    int rebuilds = 0;
    // A rebuild holds firing animations back from its frame on (the new
    // figure may well get the old one's address, so that tells nothing).
    int mark = screen.nextFireAnimMs;
    // 60-Hz frames on 16-ms steps: the ship is drawn between steps at a
    // share that changes every frame, while the key steers it.
    for (int frame = 0; frame < 200; ++frame) {
        if (frame == 20) {
            player->pendingDamage = 5.0f;
            lost = true;
        }
        player->movePlusU();
        playFrame(16667);
        if (screen.nextFireAnimMs != mark) {
            mark = screen.nextFireAnimMs;
            ++rebuilds;
        }
        const Model* figure = screen.playerModel;
        ASSERT_NE(figure, nullptr);
        const Placement drawn = player->drawnPlacement(screen.world->drawFraction);
        EXPECT_TRUE(figure->root->getPosition().positionEquals(nodeAt(drawn), 1e-4f))
            << "frame " << frame << ": figure at " << figure->root->getPosition() << ", ship drawn at "
            << nodeAt(drawn);
        const play::Vec3 camera = play::cameraFor(drawn.x, drawn.z);
        EXPECT_TRUE(screen.camera->getPosition().positionEquals({camera.x, camera.y, camera.z}, 1e-4f))
            << "frame " << frame;
    }
    ASSERT_TRUE(lost);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(player->lives, START_LIVES - 1);
}

TEST_F(PlayFigures, AShotAppearsAtItsShootersGunWhereTheShooterIsDrawn)
{
    // A whole song at 60 Hz, the player firing all along:
    // every shot fired in a frame's last step is drawn, in its first frame,
    // where its gun is drawn (its shooter's figure, moved by the shot's
    // place on the shooter); shots of earlier steps have flown already.
    frame();
    kestor* player = screen.world->player;
    int enemyShots = 0, playerShots = 0;
    float worst = 0.0f;
    for (int frame = 0; frame < 30000 && screen.world->phase == PHASE_PLAYING; ++frame) {
        player->fireRequested = true;
        player->fireKind = frame % 2;
        const std::size_t before = screen.liveModels.size();
        playFrame(16667);
        auto link = screen.liveModels.begin();
        std::advance(link, std::min(before, screen.liveModels.size()));
        for (; link != screen.liveModels.end(); ++link) {
            const auto* shot = static_cast<const mobileObject*>((*link)->object);
            if (shot->type != TYPE_BULLET || !shot->hasEvent(EVENT_ADDED) || !shot->owner)
                continue;
            const mobileObject* gun = shot->owner;
            const Model* gunFigure = figureOf(gun);
            if (!gunFigure)
                continue;
            const Ogre::Vector3 expected =
                gunFigure->root->getPosition() + nodeAt(shot->placement) - nodeAt(gun->placement);
            const float off = (*link)->model->root->getPosition().distance(expected);
            worst = std::max(worst, off);
            EXPECT_LT(off, 0.01f) << "frame " << frame << ", a shot of type " << gun->type;
            ++(gun == player ? playerShots : enemyShots);
        }
    }
    EXPECT_GE(playerShots, 20);
    EXPECT_GE(enemyShots, 20);
    EXPECT_LT(worst, 0.01f);
}

TEST_F(PlayFigures, ObjectsWithoutAFigureArePlayableAllTheSame)
{
    ModelManager::useFigureTable(nullptr);  // no figure for any type
    mobileObject* bee = addEnemy(5);
    frame();
    EXPECT_EQ(screen.playerModel, nullptr);
    ASSERT_EQ(screen.liveModels.size(), 2u);
    bee->hitPoints = 0;
    screen.world->removeObject(bee);
    raise(screen.world->player, EVENT_DESTROYED);
    raise(screen.world->player, EVENT_FIRED);
    frame();
    EXPECT_TRUE(screen.dyingModels.empty());
    EXPECT_EQ(screen.liveModels.size(), 1u);
    EXPECT_EQ(entities(), baseline);
}

} // namespace
