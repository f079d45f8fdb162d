#pragma once
#include "app/InfoScreen.h"

// The product and who made it; any key returns to the menu.
class CreditsState : public InfoScreen {
public:
    CreditsState() : InfoScreen(CREDITS_LINES, colourCycleDeadline, true) {}

    static int colourCycleDeadline;
};
