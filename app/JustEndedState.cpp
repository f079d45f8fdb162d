#include "app/JustEndedState.h"

#include "app/GameManager.h"
#include "app/PlayState.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "app/TextItem.h"
#include "model/ColourScheme.h"

void JustEndedState::enter()
{
    outcomeText = new TextItem();
    outcomeText->setPosition(340, 25);
    int scheme = schemeIndex >= 0 && schemeIndex < SCHEME_COUNT ? schemeIndex : 0;
    outcomeText->setColour(colourSchemes[scheme][0]);
    outcomeText->setText(gameWon ? "You Won!  Press ENTER" : "You Lost!  Press ENTER");
    outcomeText->show();
}

void JustEndedState::exit()
{
    delete outcomeText;
    outcomeText = nullptr;
}

void JustEndedState::keyPressed(KeyEvent* e)
{
    if (e->getKey() != input::KC_RETURN)
        return;
    GameManager::getSingleton().popState();
    GameManager::getSingleton().changeState(&menuState);
    SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, false);
}
