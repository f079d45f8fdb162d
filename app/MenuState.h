#pragma once
#include "app/SceneryScreen.h"

namespace Ogre {
class RenderWindow;
}

// The hub: the title and the items "Play", "Help", "Credits" and "Exit" in
// front of the scenery figure and three tentacles; arrows move the
// highlight, Return chooses, Escape ends the program, O changes the colours.
class MenuState : public SceneryScreen {
public:
    static constexpr int TENTACLES = 3;

    void enter() override;
    void exit() override;
    void keyPressed(KeyEvent* e) override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    void createTexts();
    void highlightSelection();

    Ogre::RenderWindow* window = nullptr;
    bool quitRequested = false;
    // Null where the factory has no tentacle figure.
    Model* tentacleFigures[TENTACLES] = {};
    TextItem* playText = nullptr;
    TextItem* titleText = nullptr;
    TextItem* exitText = nullptr;
    TextItem* helpText = nullptr;
    TextItem* creditsText = nullptr;
    int selectedItem = 1;

    static int colourCycleDeadline;

private:
    void createTentacles();
    void chooseSelectedItem();
};
