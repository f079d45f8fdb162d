#pragma once
#include "app/GameState.h"

// Resumes play on "P": pops itself, then unpauses the game music.
class PauseState : public DefaultGameState {
public:
    void enter() override {}
    void keyPressed(KeyEvent* e) override;
};
