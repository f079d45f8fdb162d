#pragma once
#include "app/GameState.h"

// Not shown yet: no screen leads here until it is built.
class JustEndedState : public DefaultGameState {
public:
    void enter() override {}
};
