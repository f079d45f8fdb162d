#include "app/Screens.h"

// Defined in one place so that they are constructed in this order, and
// destroyed in the reverse order at program exit.
CreditsState creditsState;
HelpState helpState;
HighScoresState highScoresState;
JustEndedState justEndedState;
LoadState loadState;
MenuState menuState;
PauseState pauseState;
PlayState playState;
