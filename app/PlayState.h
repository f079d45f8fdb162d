#pragma once
// The screen on which one game is played: the world of the game, the figures
// of its objects, the head-up texts and the camera, in time with the music.
#include "app/GameState.h"
#include "app/PlayRules.h"

#include <list>

namespace Ogre {
class Root;
class SceneManager;
class Viewport;
class Camera;
} // namespace Ogre

class gameWorld;
class simulationObject;
class ModelManager;
class Model;
class NodePool;
class TextItem;
class SoundManager;
struct Placement;

// A world object and its figure (owned by the link; null when the object's
// type has no figure).
struct ObjectModelLink {
    simulationObject* object;
    Model* model;
};

class PlayState : public DefaultGameState {
public:
    PlayState();
    ~PlayState();

    void enter() override;
    void exit() override;
    void keyPressed(KeyEvent* e) override;
    void keyReleased(KeyEvent* e) override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    void pollInput();
    void placeCamera(const Placement& p);
    // Unless a shake runs, the camera follows the player's ship where the
    // frame draws it.
    void followPlayer();
    void setupCamera();
    void setupLights();
    void setupHud();
    void destroyHud();
    void updateHud();

    // The figure steps of a frame of play, in this order.
    void handleRemovedObjects();
    void onObjectRemoved(simulationObject* o);
    void createNewModels();
    void updateLiveModels();
    void updateDyingModels();
    void updatePlayerFigure();
    void checkColourChanges();

    int nowMs = 0;
    int previousMs = 0;
    int frameMs = 0;
    Ogre::Root* root = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Viewport* viewport = nullptr;
    input::InputReader* reader = nullptr;
    Ogre::Camera* camera = nullptr;
    bool fireArmed = true;
    int steerSense = 1;
    play::CameraShake shake;
    int nextFireAnimMs = 0;
    gameWorld* world = nullptr;
    ModelManager* modelManager = nullptr;
    std::list<ObjectModelLink*> liveModels;
    std::list<ObjectModelLink*> dyingModels;
    NodePool* nodePool = nullptr;
    Model* playerModel = nullptr;
    TextItem* progressText = nullptr;
    TextItem* livesText = nullptr;
    TextItem* pauseText = nullptr;
    int shownPercent = -1;
    int shownLives = -1;
    // The sound manager the screen plays through: set by entry to the
    // program's own unless a test gave another before, and let go by exit.
    SoundManager* sounds = nullptr;

private:
    void trackPlayer(Model* figure);
    void rebuildPlayerFigure(ObjectModelLink* link);
    void startLivesPoses(Model* figure, int lives);
    void deleteLink(ObjectModelLink* link);
    void deleteLinks(std::list<ObjectModelLink*>& links);
    play::Vec3 cameraPosition() const;
    void setCameraPosition(const play::Vec3& p);
};

// The game music's volume as this screen leaves it (kept across games), and
// the outcome of the last game, read by the end screen.
extern float musicVolume;
