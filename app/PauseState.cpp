#include "app/PauseState.h"

#include "app/GameManager.h"
#include "app/SoundManager.h"

void PauseState::keyPressed(KeyEvent* e)
{
    if (e->getKey() != input::KC_P)
        return;
    GameManager::getSingleton().popState();
    SoundManager::getSingleton().setPaused(SOUND_GAME_MUSIC, false);
}
