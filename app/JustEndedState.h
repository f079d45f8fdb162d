#pragma once
#include "app/GameState.h"

class TextItem;

// Shown over the finished game: the outcome and a wait for Return, which
// goes back to the menu.
class JustEndedState : public DefaultGameState {
public:
    void enter() override;
    void exit() override;
    void keyPressed(KeyEvent* e) override;

    TextItem* outcomeText = nullptr;
};
