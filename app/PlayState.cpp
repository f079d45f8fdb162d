#include "app/PlayState.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include <algorithm>

#include "app/GameManager.h"
#include "app/InputManager.h"
#include "app/NodePool.h"
#include "app/SceneRelease.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "app/TextItem.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "platform/clock.h"
#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/mobileObject.h"

float musicVolume = 0.0f;

namespace {

constexpr int PLAYER_TYPE_CODE = 14;
constexpr int TENTHEAD_TYPE_CODE = 26;
constexpr int FIRE_ANIMATION_PAUSE_MS = 2000;
const Ogre::Vector3 TRACKING_OFFSET(0, 0, 20);
const Placement CAMERA_START{0, 0, -40, 0, 0, 0, 1, 1, 1};

struct LightRow {
    const char* name;
    Ogre::Vector3 position;
    float diffuse[3];
    float specular[3];
    float range, constant, linear, quadratic;
};
const LightRow LIGHTS[] = {
    {"MainLight", {0, 4, -65}, {0.35f, 0.3f, 0.3f}, {0.2f, 0.1f, 0.1f}, 150, 0.6f, 0.008f, 0},
    {"Secondary Light", {0, 2, 0}, {0.45f, 0.35f, 0.35f}, {0.6f, 0.4f, 0.4f}, 200, 0.6f, 0.004f, 0},
    {"Third Light", {0, 5, 55}, {0.35f, 0.45f, 0.35f}, {0.4f, 0.7f, 0.5f}, 200, 0.8f, 0.004f, 0},
    {"FOURTH Light", {0, 1, 100}, {0.35f, 0.35f, 0.45f}, {0.4f, 0.5f, 0.7f}, 100, 0.6f, 0.004f, 0},
};

int clockMs() { return int(plat::clock()); }

void place(Ogre::SceneNode* node, const Placement& p)
{
    node->setPosition(p.x, p.z, p.y);
    node->resetOrientation();
    node->roll(Ogre::Radian(-p.angle2 * Ogre::Math::fDeg2Rad));
    node->pitch(Ogre::Radian(-p.angle1 * Ogre::Math::fDeg2Rad));
    node->yaw(Ogre::Radian(-p.angle3 * Ogre::Math::fDeg2Rad));
}

} // namespace

PlayState::PlayState() { nextFireAnimMs = clockMs(); }

PlayState::~PlayState()
{
    // Only reached at program exit, after every screen has been exited.
    for (ObjectModelLink* l : liveModels)
        delete l;
    for (ObjectModelLink* l : dyingModels)
        delete l;
}

// ---------------------------------------------------------------- entry, exit

void PlayState::enter()
{
    reader = InputManager::getSingletonPtr() ? InputManager::getSingleton().reader : nullptr;
    root = Ogre::Root::getSingletonPtr();
    sceneManager = root->createSceneManager(Ogre::ST_GENERIC, "");
    if (auto* overlays = GameManager::getSingleton().overlaySystem)
        sceneManager->addRenderQueueListener(overlays);
    setupCamera();
    viewport = root->getAutoCreatedWindow()->addViewport(camera, 0, 0, 0, 1, 1);
    setupLights();
    playerModel = nullptr;
    fireArmed = true;
    steerSense = 1;
    shake.shaking = false;
    nodePool = new NodePool(sceneManager);
    modelManager = new ModelManager(sceneManager);
    ModelManager::setShooterLookup(shooterTypeOf);
    setupHud();
    shownPercent = -1;
    shownLives = -1;
    world = new gameWorld();
    if (!sounds)
        sounds = &SoundManager::getSingleton();
    SoundManager& sound = *sounds;
    sound.play(SOUND_GAME_MUSIC);
    world->anchor(int(sound.getPositionMs(SOUND_GAME_MUSIC)));
    nowMs = clockMs();
}

void PlayState::setupCamera()
{
    camera = sceneManager->createCamera("PlayerCam");
    camera->yaw(Ogre::Radian(180 * Ogre::Math::fDeg2Rad));
    camera->setNearClipDistance(1);
    placeCamera(CAMERA_START);
}

void PlayState::placeCamera(const Placement& p) { setCameraPosition(play::cameraFor(p.x, p.z)); }

void PlayState::followPlayer()
{
    if (!shake.shaking)
        placeCamera(world->player->drawnPlacement(world->drawFraction));
}

play::Vec3 PlayState::cameraPosition() const
{
    const Ogre::Vector3& at = camera->getPosition();
    return {at.x, at.y, at.z};
}

void PlayState::setCameraPosition(const play::Vec3& p) { camera->setPosition(p.x, p.y, p.z); }

void PlayState::setupLights()
{
    viewport->setBackgroundColour(Ogre::ColourValue(0.01f, 0.01f, 0.01f, 1));
    sceneManager->setAmbientLight(Ogre::ColourValue(0.1f, 0.1f, 0.1f, 1));
    for (const LightRow& row : LIGHTS) {
        Ogre::Light* light = sceneManager->createLight(row.name);
        light->setType(Ogre::Light::LT_POINT);
        light->setPosition(row.position);
        light->setDiffuseColour(row.diffuse[0], row.diffuse[1], row.diffuse[2]);
        light->setSpecularColour(row.specular[0], row.specular[1], row.specular[2]);
        light->setAttenuation(row.range, row.constant, row.linear, row.quadratic);
    }
}

void PlayState::setupHud()
{
    const Ogre::ColourValue& colour = modelManager->palette[0];
    pauseText = new TextItem();
    pauseText->setText("(P)ause");
    pauseText->setPosition(340, 25);
    pauseText->setColour(colour);
    livesText = new TextItem();
    livesText->setPosition(25, 25);
    livesText->show();
    livesText->setColour(colour);
    progressText = new TextItem();
    progressText->setPosition(70, 25);
    progressText->show();
    progressText->setColour(colour);
}

void PlayState::destroyHud()
{
    delete progressText;
    delete livesText;
    delete pauseText;
    progressText = livesText = pauseText = nullptr;
}

void PlayState::deleteLink(ObjectModelLink* link)
{
    if (link->model) {
        modelManager->flashingModels.remove(link->model);
        delete link->model;
    }
    delete link;
}

void PlayState::deleteLinks(std::list<ObjectModelLink*>& links)
{
    for (ObjectModelLink* link : links)
        deleteLink(link);
    links.clear();
}

void PlayState::exit()
{
    if (camera)
        camera->setAutoTracking(false);
    destroyHud();
    delete world;
    world = nullptr;
    deleteLinks(liveModels);
    deleteLinks(dyingModels);
    playerModel = nullptr;
    ModelManager::setShooterLookup(nullptr);
    delete modelManager;
    modelManager = nullptr;
    delete nodePool;
    nodePool = nullptr;
    ::nodePool = nullptr;
    releaseScene(root, sceneManager, GameManager::getSingleton().overlaySystem);
    sceneManager = nullptr;
    camera = nullptr;
    viewport = nullptr;
    sounds->stop(SOUND_GAME_MUSIC);
    sounds->stop(SOUND_ENEMY_EXPLODE);
    sounds->stop(SOUND_PLAYER_SHOOT);
    sounds = nullptr;
}

// ---------------------------------------------------------------- keys

void PlayState::keyPressed(KeyEvent* e)
{
    const int key = e->getKey();
    if (key == input::KC_P) {
        SoundManager& sound = *sounds;
        if (world->phase == PHASE_PAUSED) {
            sound.setPaused(SOUND_GAME_MUSIC, false);
            world->phase = PHASE_PLAYING;
            world->anchor(int(sound.getPositionMs(SOUND_GAME_MUSIC)));
            pauseText->hide();
        } else {
            world->phase = PHASE_PAUSED;
            sound.setPaused(SOUND_GAME_MUSIC, true);
            pauseText->show();
        }
    }
    if (key == input::KC_ESCAPE) {
        GameManager::getSingleton().changeState(&menuState);
        SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, false);
    } else if (key == input::KC_O) {
        modelManager->cycleScheme(true);
    }
}

void PlayState::keyReleased(KeyEvent* e)
{
    const int key = e->getKey();
    if (key == input::KC_SPACE)
        fireArmed = true;
    else if (key == input::KC_RIGHT || key == input::KC_LEFT)
        steerSense = play::steerSenseFor(world->player->position.getU());
}

void PlayState::pollInput()
{
    if (!reader)
        return;
    play::HeldKeys keys;
    keys.left = reader->isKeyDown(input::KC_LEFT);
    keys.right = reader->isKeyDown(input::KC_RIGHT);
    keys.comma = reader->isKeyDown(input::KC_COMMA);
    keys.period = reader->isKeyDown(input::KC_PERIOD);
    keys.space = reader->isKeyDown(input::KC_SPACE);
    const play::PolledInput in = play::pollKeys(keys, steerSense, fireArmed);
    kestor* player = world->player;
    for (int i = 0; i < in.plusCalls; ++i)
        player->movePlusU();
    for (int i = 0; i < in.minusCalls; ++i)
        player->moveMinusU();
    if (in.fire) {
        player->fireKind = in.fireKind;
        player->fireRequested = true;
    }
}

// ---------------------------------------------------------------- frame

bool PlayState::frameStarted(const Ogre::FrameEvent&)
{
    previousMs = nowMs;
    nowMs = clockMs();
    frameMs = nowMs - previousMs;

    if (play::stepsFor(world->phase).pollKeys)
        pollInput();

    SoundManager& sound = *sounds;
    const play::FadeStep fade = play::fadeMusic(musicVolume, frameMs);
    musicVolume = fade.volume;
    if (fade.setVolume)
        sound.setVolume(SOUND_GAME_MUSIC, musicVolume);

    if (!shake.shaking && destroyedInFrame(*world->player)) {
        shake.start(cameraPosition(), nowMs);
        setCameraPosition({shake.base.x + shake.offset, shake.base.y + shake.offset, play::CAMERA_DEPTH});
    }
    if (shake.shaking)
        setCameraPosition(shake.advance(clockMs()));

    world->update(int(sound.getPositionMs(SOUND_GAME_MUSIC)));
    updateHud();
    followPlayer();

    const play::FrameSteps steps = play::stepsFor(world->phase);
    if (steps.endGame) {
        gameWon = world->phase == PHASE_WON;
        justEndedState.setFinalScore(world->player->scoreValue);
        GameManager::getSingleton().pushState(&justEndedState);
        return true;
    }
    if (steps.figures) {
        handleRemovedObjects();
        createNewModels();
        updateLiveModels();
        updateDyingModels();
        updatePlayerFigure();
    }
    if (steps.colourRows)
        checkColourChanges();
    return true;
}

bool PlayState::frameEnded(const Ogre::FrameEvent&)
{
    modelManager->updateFade();
    modelManager->updateDamageFlashes();
    return true;
}

void PlayState::updateHud()
{
    const kestor* player = world->player;
    const int percent = play::progressPercent(player->scoreValue, player->extraLifeStep);
    if (percent != shownPercent) {
        shownPercent = percent;
        progressText->setText(play::progressText(percent));
    }
    if (player->lives != shownLives) {
        shownLives = player->lives;
        livesText->setText(play::livesText(player->lives));
    }
    if (modelManager->fading) {
        const Ogre::ColourValue& colour = modelManager->palette[0];
        livesText->setColour(colour);
        progressText->setColour(colour);
        pauseText->setColour(colour);
    }
}

// ---------------------------------------------------------------- figures

void PlayState::handleRemovedObjects()
{
    for (mobileObject* o : world->removedObjects)
        onObjectRemoved(o);
}

void PlayState::onObjectRemoved(simulationObject* o)
{
    auto it = std::find_if(liveModels.begin(), liveModels.end(),
                           [o](const ObjectModelLink* l) { return l->object == o; });
    if (it == liveModels.end())
        return;
    ObjectModelLink* link = *it;
    liveModels.erase(it);
    if (destroyedInFrame(*o) && o->type != TYPE_BULLET) {
        sounds->play(o->type == TENTHEAD_TYPE_CODE ? SOUND_BOSS_EXPLODE : SOUND_ENEMY_EXPLODE);
        if (link->model) {
            link->object = nullptr;  // deleted by the world's next update
            link->model->playAnimation(0, false, nowMs);
            dyingModels.push_back(link);
            return;
        }
    }
    deleteLink(link);
}

void PlayState::createNewModels()
{
    // New objects carry EVENT_ADDED until their first step of play, and the
    // world appends them at the back: the tail of the list is what is new.
    auto& objects = world->objects;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        mobileObject* o = *it;
        if (!o->hasFrameEvent(EVENT_ADDED))
            break;
        Model* figure = modelManager->createModel(o->type, o->drawnPlacement(world->drawFraction), o);
        liveModels.push_back(new ObjectModelLink{o, figure});
    }
}

void PlayState::trackPlayer(Model* figure)
{
    camera->setAutoTracking(true, figure->root, TRACKING_OFFSET);
}

void PlayState::updateLiveModels()
{
    const bool beat = groupOccurredInWindow(world->songScore->tentheadNoteGroupB().index,
                                            *world->section);
    for (ObjectModelLink* link : liveModels) {
        Model* f = link->model;
        if (!f)
            continue;
        auto* o = static_cast<mobileObject*>(link->object);
        const int t = o->type;
        // Where the object is at the frame's own song time, not where the
        // last whole step left it: motion stays even whatever the frame rate.
        place(f->root, o->drawnPlacement(world->drawFraction));
        f->update(nowMs);
        if (beat && play::takesBeatPulse(t))
            f->startAnimation(2, false, nowMs);

        if (t == PLAYER_TYPE_CODE) {
            if (!playerModel) {
                playerModel = f;
                trackPlayer(f);
            }
            if (destroyedInFrame(*o))
                f->playAnimation(0, false, nowMs);
            if (f->finished)
                rebuildPlayerFigure(link);
            continue;
        }
        const play::Reaction r = play::reactionFor(t, o->frameEvents, f->isAnimating());
        if (r.how == play::Start::Play)
            f->playAnimation(r.animation, r.loop, nowMs);
        else if (r.how == play::Start::StartOn)
            f->startAnimation(r.animation, r.loop, nowMs);
        if (r.flash)
            modelManager->startDamageFlash(f, nowMs);
    }
}

void PlayState::rebuildPlayerFigure(ObjectModelLink* link)
{
    nextFireAnimMs = nowMs + FIRE_ANIMATION_PAUSE_MS;
    Model* old = link->model;
    old->finished = false;
    modelManager->flashingModels.remove(old);
    old->reset();
    old->clearParts();
    delete old;
    // Made after this frame placed the figures: it starts where the frame
    // draws the ship, as the camera does.
    auto* player = static_cast<mobileObject*>(link->object);
    Model* figure =
        modelManager->createModel(PLAYER_TYPE_CODE, player->drawnPlacement(world->drawFraction), player);
    link->model = figure;
    playerModel = figure;
    if (figure)
        trackPlayer(figure);
    else
        camera->setAutoTracking(false);
}

void PlayState::updateDyingModels()
{
    for (auto it = dyingModels.begin(); it != dyingModels.end();) {
        ObjectModelLink* link = *it;
        link->model->update(nowMs);
        if (link->model->finished) {
            deleteLink(link);
            it = dyingModels.erase(it);
        } else {
            ++it;
        }
    }
}

void PlayState::startLivesPoses(Model* figure, int lives)
{
    // Started anew every frame, each pose holds where the first frame's time
    // of its first window takes it for as long as the lives stay low; a shot
    // that empties the running list only interrupts it for that frame.
    const play::Poses poses = play::livesPoses(lives);
    for (int i = 0; i < poses.count; ++i)
        figure->startAnimation(poses.ids[i], false, nowMs);
}

void PlayState::updatePlayerFigure()
{
    kestor* player = world->player;
    SoundManager& sound = *sounds;
    if (playerModel) {
        startLivesPoses(playerModel, player->lives);
        if (!playerModel->finished && player->hasFrameEvent(EVENT_FIRED)) {
            if (nextFireAnimMs <= nowMs) {
                playerModel->playAnimation(2, false, nowMs);
                if (player->hasFrameEvent(EVENT_POWER_SHOT))
                    playerModel->startAnimation(1, false, nowMs);
            }
            sound.play(SOUND_PLAYER_SHOOT);
        }
    } else if (player->hasFrameEvent(EVENT_FIRED)) {
        // No figure to show the shot, but the shot is still heard.
        sound.play(SOUND_PLAYER_SHOOT);
    }
    if (destroyedInFrame(*player)) {
        musicVolume -= play::MUSIC_DROP_ON_DEATH;
        sound.play(SOUND_PLAYER_EXPLODE);
        sound.setVolume(SOUND_GAME_MUSIC, musicVolume);
    }
}

void PlayState::checkColourChanges()
{
    const int changes = play::colourChanges(*world->songScore, *world->section);
    for (int i = 0; i < changes; ++i)
        modelManager->cycleScheme(true);
}
