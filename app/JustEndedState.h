#pragma once
#include "app/GameState.h"

#include <string>

namespace Ogre {
class Root;
class SceneManager;
} // namespace Ogre

class ModelManager;
class TextItem;

// The outcome of the last game (set by the play screen before it pushes the
// end screen).
extern bool gameWon;
// Whether the end screen asks for a name: set at its entry when the
// finished game's score enters the high-score table and the table's writer
// would take it.
extern bool nameEntryEnabled;

// Shown over the finished game's scene: the outcome line and, when the score
// makes the high-score table, the name entry, whose Return enters the name
// and goes back to the menu - or, when the table would not take it, says so
// and leaves on the next Return. A table the writer is sure to refuse (a
// link, a read-only table) asks for no name: the screen says so at once.
class JustEndedState : public DefaultGameState {
public:
    void enter() override;
    void exit() override;
    void keyPressed(KeyEvent* e) override;
    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    // The finished game's score, recorded by the play screen before the
    // push; without it no name is asked for. Good for one visit.
    void setFinalScore(int score);

    ModelManager* modelManager = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::SceneManager* sceneManager = nullptr;
    TextItem* outcomeText = nullptr;
    TextItem* promptText = nullptr;
    TextItem* nameText = nullptr;
    std::string playerName;
    int finalScore = 0;
    bool hasFinalScore = false;
    // The entry failed: the prompt's line says so until Return.
    bool scoreNotSaved = false;

    // The table's file; tests point it elsewhere.
    static std::string path;

private:
    void backToMenu();
    // "Score not saved" in the prompt's place, the name entry closed.
    void showScoreNotSaved();
};
