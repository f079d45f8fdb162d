#include "app/MenuState.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include "app/GameManager.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "app/TextItem.h"
#include "platform/clock.h"

int MenuState::colourCycleDeadline = 0;

namespace {

const int COLOUR_CYCLE_PERIOD_MS = 33000;

// Text colours until the live palette drives them.
const Ogre::ColourValue TITLE_COLOUR(0.45f, 0.8f, 1.0f, 1.0f);
const Ogre::ColourValue HEADING_COLOUR(1.0f, 0.85f, 0.3f, 1.0f);
const Ogre::ColourValue BODY_COLOUR(0.7f, 0.7f, 0.75f, 1.0f);

float scaled(unsigned size, double factor) { return static_cast<float>(static_cast<int>(size * factor)); }

template <typename T> void deleteAndNull(T*& p)
{
    delete p;
    p = nullptr;
}

} // namespace

void MenuState::enter()
{
    nowMs = static_cast<int>(plat::clock());
    colourCycleDeadline = nowMs + COLOUR_CYCLE_PERIOD_MS;

    root = Ogre::Root::getSingletonPtr();
    sceneManager = root->createSceneManager(Ogre::ST_GENERIC, "");
    if (auto* overlays = GameManager::getSingleton().overlaySystem)
        sceneManager->addRenderQueueListener(overlays);
    camera = sceneManager->createCamera("IntroCamera");
    camera->setPosition(Ogre::Vector3(0, 5, 80));
    camera->lookAt(Ogre::Vector3(0, 0, -80));
    camera->setNearClipDistance(5);
    camera->setFarClipDistance(5010);
    viewport = root->getAutoCreatedWindow()->addViewport(camera, 0, 0, 0, 1, 1);

    window = GameManager::getSingleton().window;
    quitRequested = false;
    selectedItem = 1;

    sceneManager->setAmbientLight(Ogre::ColourValue(0.8f, 0.8f, 0.8f, 1.0f));
    viewport->setBackgroundColour(Ogre::ColourValue(0.01f, 0.01f, 0.01f, 1.0f));
    Ogre::Light* light = sceneManager->createLight("MainLight1");
    light->setType(Ogre::Light::LT_POINT);
    light->setPosition(Ogre::Vector3(0, 0, 20));
    light->setDiffuseColour(0.5f, 0.4f, 0.4f);
    light->setSpecularColour(0.4f, 0.4f, 0.4f);
    light->setAttenuation(80, 0.8f, 0.004f, 0);

    createTexts();
    SoundManager::getSingleton();
    highlightSelection();
}

void MenuState::createTexts()
{
    const unsigned w = window->getWidth();
    const unsigned h = window->getHeight();
    const float column = scaled(w, 0.44375);
    auto make = [](float x, float y, const char* text) {
        auto* item = new TextItem();
        item->setPosition(x, y);
        item->setText(text);
        return item;
    };
    playText = make(column, scaled(h, 0.4166666666666667), "Play");
    helpText = make(column, scaled(h, 0.5), "Help");
    creditsText = make(column, scaled(h, 0.5833333333333334), "Credits");
    exitText = make(column, scaled(h, 0.6666666666666666), "Exit");
    titleText = make(scaled(w, 0.3875), scaled(h, 0.25), "tessaline");
    titleText->show();
    playText->show();
    helpText->show();
    exitText->show();
    creditsText->show();
}

void MenuState::highlightSelection()
{
    titleText->setColour(TITLE_COLOUR);
    if (selectedItem < 1 || selectedItem > 4)
        return;
    TextItem* items[4] = {playText, helpText, creditsText, exitText};
    for (int i = 0; i < 4; ++i)
        items[i]->setColour(i + 1 == selectedItem ? HEADING_COLOUR : BODY_COLOUR);
}

void MenuState::keyPressed(KeyEvent* e)
{
    switch (e->getKey()) {
    case input::KC_UP:
        if (selectedItem != 1) {
            --selectedItem;
            SoundManager::getSingleton().play(SOUND_MENU_MOVE);
        }
        break;
    case input::KC_DOWN:
        if (selectedItem != 4) {
            ++selectedItem;
            SoundManager::getSingleton().play(SOUND_MENU_MOVE);
        }
        break;
    case input::KC_RETURN:
        // Help and Credits lead nowhere until their screens exist.
        if (selectedItem != 1 && selectedItem != 4)
            break;
        playText->hide();
        exitText->hide();
        titleText->hide();
        SoundManager::getSingleton().play(SOUND_MENU_SELECT);
        if (selectedItem == 1) {
            SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, true);
            // Runs this screen's exit: nothing of it may be touched after.
            GameManager::getSingleton().changeState(&playState);
            return;
        }
        quitRequested = true;
        break;
    case input::KC_ESCAPE:
        quitRequested = true;
        break;
    default:
        break;
    }
}

bool MenuState::frameStarted(const Ogre::FrameEvent&)
{
    nowMs = static_cast<int>(plat::clock());
    highlightSelection();
    return true;
}

bool MenuState::frameEnded(const Ogre::FrameEvent&) { return !quitRequested; }

void MenuState::exit()
{
    deleteAndNull(playText);
    deleteAndNull(titleText);
    deleteAndNull(exitText);
    deleteAndNull(helpText);
    deleteAndNull(creditsText);
    if (sceneManager) {
        sceneManager->clearScene();
        sceneManager->destroyAllCameras();
        sceneManager->destroyAllEntities();
        if (auto* overlays = GameManager::getSingleton().overlaySystem)
            sceneManager->removeRenderQueueListener(overlays);
    }
    if (root && root->getAutoCreatedWindow())
        root->getAutoCreatedWindow()->removeAllViewports();
    // Every visit makes a new scene manager; kept, they would pile up, one
    // per game played.
    if (root && sceneManager)
        root->destroySceneManager(sceneManager);
    sceneManager = nullptr;
    camera = nullptr;
    viewport = nullptr;
}
