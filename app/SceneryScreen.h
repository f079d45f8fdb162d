#pragma once
// What the menu, help, credits and high-score screens share: a small lit
// scene with the scenery figure behind their text, the colour pulse, the
// timed colour change and the fades, and the order in which the scene is
// built and taken down. Each screen is one static object of a subclass.
#include "app/DeleteAndNull.h"
#include "app/GameState.h"
#include "app/TextColours.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

namespace Ogre {
class Root;
class SceneManager;
class Viewport;
class Camera;
} // namespace Ogre

class NodePool;
class ModelManager;
class Model;
class TextItem;

struct CameraSetup {
    const char* name;
    Ogre::Vector3 position;
    Ogre::Vector3 lookAt;
    float nearClip;
    // 0 keeps the engine's default
    float farClip;
};

extern const CameraSetup MENU_CAMERA;
extern const CameraSetup HELP_CAMERA;

// Which of the two light settings come first; the high-score screen keeps
// the engine's background.
enum class LightOrder { AMBIENT_THEN_BACKGROUND, BACKGROUND_THEN_AMBIENT, NO_BACKGROUND };

class SceneryScreen : public DefaultGameState {
public:
    // The screens other than the menu: any key leads back to the menu.
    void keyPressed(KeyEvent* e) override;

    int nowMs = 0;
    Ogre::Root* root = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Ogre::Camera* camera = nullptr;
    NodePool* pool = nullptr;
    ModelManager* modelManager = nullptr;
    Model* sceneryFigure = nullptr;

protected:
    ~SceneryScreen() = default;

    // Root, a new scene manager, the camera and the whole-window viewport.
    void buildScene(const CameraSetup& setup);
    // The pool, the model manager and the standing scenery figure.
    void createSceneryFigure();
    void setupLights(LightOrder order);
    // The pulse of the shared random material.
    void pulse();
    // The timed change on the class's deadline, then the fade and flash steps.
    void endFrame(int& colourCycleDeadline);
    const Ogre::ColourValue& colour(TextRole role) const;

    // Deletes the scenery figure, the model manager and the pool.
    void deleteFigures();
    // Empties the scene, removes the viewports and gives the emptied scene
    // manager back to the engine, so visits do not pile them up.
    void tearDownScene();
};
