#pragma once
// The player ship. (Placeholder: the full ship hierarchy replaces this.)
#include "world/simulationObject.h"

class kestor : public simulationObject {
public:
    int lives = 0;
};
