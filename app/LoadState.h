#pragma once
#include "app/GameState.h"

// The first screen of every run: makes the engine read its resource scripts
// before the menu builds its scene.
class LoadState : public DefaultGameState {
public:
    void enter() override;
};
