#pragma once
// The eight screens, one static object each.
#include "app/CreditsState.h"
#include "app/HelpState.h"
#include "app/HighScoresState.h"
#include "app/JustEndedState.h"
#include "app/LoadState.h"
#include "app/MenuState.h"
#include "app/PauseState.h"
#include "app/PlayState.h"

extern CreditsState creditsState;
extern HelpState helpState;
extern HighScoresState highScoresState;
extern JustEndedState justEndedState;
extern LoadState loadState;
extern MenuState menuState;
extern PauseState pauseState;
extern PlayState playState;
