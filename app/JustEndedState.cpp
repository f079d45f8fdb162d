#include "app/JustEndedState.h"

#include <Ogre.h>

#include "app/DeleteAndNull.h"
#include "app/GameManager.h"
#include "app/HighScoreFile.h"
#include "app/NameEntry.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "app/TextColours.h"
#include "app/TextItem.h"
#include "model/ModelManager.h"
#include "platform/regularFile.h"

bool gameWon = false;
bool nameEntryEnabled = false;
std::string JustEndedState::path = HIGH_SCORE_FILE;

namespace {

const char* const WON_TEXT = "You Won!  Press ENTER";
const char* const LOST_TEXT = "You Lost!  Press ENTER";
const char* const PROMPT_TEXT = "Well played.  Enter your name:";
// Takes the prompt's place when the table would not take the entry.
const char* const NOT_SAVED_TEXT = "Score not saved";

const float TEXT_LEFT = 340;
const float OUTCOME_TOP = 25;
const float PROMPT_TOP = 50;
const float NAME_TOP = 75;

TextItem* makeText(float top, const std::string& text, const Ogre::ColourValue& colour)
{
    auto* item = new TextItem();
    item->setPosition(TEXT_LEFT, top);
    item->setColour(colour);
    item->setText(text);
    return item;
}

} // namespace

void JustEndedState::setFinalScore(int score)
{
    finalScore = score;
    hasFinalScore = true;
}

void JustEndedState::enter()
{
    root = Ogre::Root::getSingletonPtr();
    sceneManager = root->createSceneManager(Ogre::ST_GENERIC, "");
    modelManager = new ModelManager(sceneManager);
    const Ogre::ColourValue& body = textColour(modelManager->palette, TEXT_BODY);
    outcomeText = makeText(OUTCOME_TOP, gameWon ? WON_TEXT : LOST_TEXT, body);
    outcomeText->show();
    promptText = makeText(PROMPT_TOP, PROMPT_TEXT, body);
    nameText = makeText(NAME_TOP, shownName(""), body);
    playerName.clear();
    scoreNotSaved = false;
    nameEntryEnabled = hasFinalScore && highScoreRank(finalScore, path) >= 0;
    // The writer's own test: a name typed for a table it is sure to refuse
    // (a link, a read-only table) would only be lost.
    if (nameEntryEnabled && !plat::mayReplaceFile(path))
        showScoreNotSaved();
}

void JustEndedState::exit()
{
    deleteAndNull(modelManager);
    deleteAndNull(outcomeText);
    deleteAndNull(promptText);
    deleteAndNull(nameText);
    // The scene manager held only the model manager's materials: nothing of
    // the play scene is in it, so it goes back to the engine now rather than
    // one per finished game piling up until shut-down.
    if (sceneManager)
        root->destroySceneManager(sceneManager);
    sceneManager = nullptr;
    hasFinalScore = false;
    nameEntryEnabled = false;
    scoreNotSaved = false;
}

void JustEndedState::keyPressed(KeyEvent* e)
{
    if (!nameEntryEnabled) {
        if (e->getKey() == input::KC_RETURN)
            backToMenu();
        return;
    }
    switch (nameEntryKey(playerName, e->getKey(), e->getKeyChar())) {
    case NameKey::CHANGED:
        nameText->setText(shownName(playerName));
        break;
    case NameKey::DONE:
        // No name typed: the player let the entry go, and the table stays
        // as it was.
        if (playerName.empty()) {
            backToMenu();
        } else if (!highScoreNameFits(playerName)) {
            // Only the placeholder can be typed and not fit: the entry stays
            // open for another name rather than losing the score.
        } else if (enterHighScore(finalScore, playerName, path)) {
            backToMenu();
        } else {
            showScoreNotSaved();
        }
        break;
    case NameKey::IGNORED:
        break;
    }
}

void JustEndedState::showScoreNotSaved()
{
    // The game goes on: the player reads why, and Return leaves.
    nameEntryEnabled = false;
    scoreNotSaved = true;
    nameText->hide();
    promptText->setText(NOT_SAVED_TEXT);
    promptText->show();
}

void JustEndedState::backToMenu()
{
    GameManager& game = GameManager::getSingleton();
    game.popState();
    game.changeState(&menuState);
    SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, false);
}

bool JustEndedState::frameStarted(const Ogre::FrameEvent&)
{
    const Ogre::ColourValue& body = textColour(modelManager->palette, TEXT_BODY);
    outcomeText->setColour(body);
    if (nameEntryEnabled) {
        promptText->show();
        nameText->show();
    }
    if (nameEntryEnabled || scoreNotSaved)
        promptText->setColour(body);
    return true;
}

bool JustEndedState::frameEnded(const Ogre::FrameEvent&)
{
    modelManager->updateFade();
    modelManager->updateDamageFlashes();
    return true;
}
