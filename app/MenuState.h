#pragma once
#include "app/GameState.h"

namespace Ogre {
class Root;
class RenderWindow;
class SceneManager;
class Viewport;
class Camera;
} // namespace Ogre

class TextItem;

// The hub: the title and the items "Play", "Help", "Credits" and "Exit";
// arrows move the highlight, Return chooses, Escape ends the program.
class MenuState : public DefaultGameState {
public:
    void enter() override;
    void exit() override;
    void keyPressed(KeyEvent* e) override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    void createTexts();
    void highlightSelection();

    int nowMs = 0;
    Ogre::RenderWindow* window = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Ogre::Camera* camera = nullptr;
    bool quitRequested = false;
    TextItem* playText = nullptr;
    TextItem* titleText = nullptr;
    TextItem* exitText = nullptr;
    TextItem* helpText = nullptr;
    TextItem* creditsText = nullptr;
    int selectedItem = 1;

    static int colourCycleDeadline;
};
