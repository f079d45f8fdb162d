#include "app/SceneryScreen.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include "app/ColourCycle.h"
#include "app/GameManager.h"
#include "app/NodePool.h"
#include "app/SceneRelease.h"
#include "app/Screens.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "platform/clock.h"

const CameraSetup MENU_CAMERA{"IntroCamera", {0, 5, 80}, {0, 0, -80}, 5, 5010};
const CameraSetup HELP_CAMERA{"HelpCamera", {0, 10, 50}, {0, 0, 0}, 5, 0};

namespace {

const Ogre::ColourValue AMBIENT(0.8f, 0.8f, 0.8f, 1.0f);
const Ogre::ColourValue BACKGROUND(0.01f, 0.01f, 0.01f, 1.0f);
const Ogre::Vector3 SCENERY_NODE_SCALE(5, 5, 5);

Ogre::OverlaySystem* overlays()
{
    GameManager* manager = GameManager::getSingletonPtr();
    return manager ? manager->overlaySystem : nullptr;
}

} // namespace

void SceneryScreen::keyPressed(KeyEvent*) { GameManager::getSingleton().changeState(&menuState); }

void SceneryScreen::buildScene(const CameraSetup& setup)
{
    root = Ogre::Root::getSingletonPtr();
    sceneManager = root->createSceneManager(Ogre::ST_GENERIC, "");
    if (Ogre::OverlaySystem* o = overlays())
        sceneManager->addRenderQueueListener(o);
    camera = sceneManager->createCamera(setup.name);
    camera->setPosition(setup.position);
    camera->lookAt(setup.lookAt);
    camera->setNearClipDistance(setup.nearClip);
    if (setup.farClip > 0)
        camera->setFarClipDistance(setup.farClip);
    viewport = root->getAutoCreatedWindow()->addViewport(camera, 0, 0, 0, 1, 1);
}

void SceneryScreen::createSceneryFigure()
{
    pool = new NodePool(sceneManager);
    modelManager = new ModelManager(sceneManager);
    sceneryFigure = modelManager->createModel(SCENERY_TYPE, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                              Ogre::Vector3::UNIT_SCALE, nullptr);
    if (sceneryFigure)
        sceneryFigure->currentNode->setScale(SCENERY_NODE_SCALE);
}

void SceneryScreen::setupLights(LightOrder order)
{
    if (order == LightOrder::BACKGROUND_THEN_AMBIENT)
        viewport->setBackgroundColour(BACKGROUND);
    sceneManager->setAmbientLight(AMBIENT);
    if (order == LightOrder::AMBIENT_THEN_BACKGROUND)
        viewport->setBackgroundColour(BACKGROUND);
    Ogre::Light* light = sceneManager->createLight("MainLight1");
    light->setType(Ogre::Light::LT_POINT);
    light->setPosition(Ogre::Vector3(0, 0, 20));
    light->setDiffuseColour(0.5f, 0.4f, 0.4f);
    light->setSpecularColour(0.4f, 0.4f, 0.4f);
    light->setAttenuation(80, 0.8f, 0.004f, 0);
}

void SceneryScreen::pulse() { modelManager->pulseRandomMaterial(); }

void SceneryScreen::endFrame(int& colourCycleDeadline)
{
    if (colourCycleDue(nowMs, colourCycleDeadline))
        modelManager->cycleScheme(true);
    modelManager->updateFade();
    modelManager->updateDamageFlashes();
}

const Ogre::ColourValue& SceneryScreen::colour(TextRole role) const
{
    return textColour(modelManager->palette, role);
}

void SceneryScreen::deleteFigures()
{
    deleteAndNull(sceneryFigure);
    deleteAndNull(modelManager);
    deleteAndNull(pool);
    nodePool = nullptr;
}

void SceneryScreen::tearDownScene()
{
    releaseScene(root, sceneManager, overlays());
    sceneManager = nullptr;
    camera = nullptr;
    viewport = nullptr;
}
