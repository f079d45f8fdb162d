#pragma once
#include "app/SceneryScreen.h"

// The high-score table as "scores.kes" holds it, read again at every visit;
// any key returns to the menu.
class HighScoresState : public SceneryScreen {
public:
    static constexpr int ROWS = 5;

    void enter() override;
    void exit() override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    TextItem* titleText = nullptr;
    TextItem* nameTexts[ROWS] = {};
    TextItem* scoreTexts[ROWS] = {};

    static int colourCycleDeadline;
    // The table's file; tests point it elsewhere.
    static std::string path;
};
