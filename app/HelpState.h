#pragma once
#include "app/InfoScreen.h"

// The controls; any key returns to the menu.
class HelpState : public InfoScreen {
public:
    HelpState() : InfoScreen(HELP_LINES, colourCycleDeadline, false) {}

    static int colourCycleDeadline;
};
