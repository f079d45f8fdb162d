#include "app/InfoScreen.h"

#include "app/CreditsState.h"
#include "app/HelpState.h"
#include "app/TextItem.h"
#include "model/Model.h"
#include "platform/clock.h"

int HelpState::colourCycleDeadline = 0;
int CreditsState::colourCycleDeadline = 0;

const InfoLine HELP_LINES[INFO_LINES] = {
    {"Help", 380, 20, TEXT_TITLE},
    {"Controls", 20, 100, TEXT_HEADING},
    {"TURN LEFT : LEFT Arrow", 20, 160, TEXT_BODY},
    {"TURN RIGHT : RIGHT Arrow", 20, 200, TEXT_BODY},
    {"TURN CLOCKWISE : COMMA KEY", 20, 240, TEXT_BODY},
    {"TURN COUNTER-CLOCKWISE : PERIOD KEY", 20, 280, TEXT_BODY},
    {"SHOOT : SPACE BAR", 20, 320, TEXT_BODY},
    {"PAUSE : P     CHANGE COLOR : O", 20, 360, TEXT_BODY},
    {"Dodge bullets and shoot aliens!", 20, 440, TEXT_HEADING},
};

// The team by the parts of the game they made, and the libraries the game
// stands on.
const InfoLine CREDITS_LINES[INFO_LINES] = {
    {"Tessaline", 340, 20, TEXT_TITLE},
    {"Team", 360, 80, TEXT_HEADING},
    {"Design . Programming", 80, 120, TEXT_BODY},
    {"Figures . Animation", 10, 160, TEXT_BODY},
    {"Music", 120, 200, TEXT_BODY},
    {"Sound . Testing", 100, 240, TEXT_BODY},
    {"Support", 330, 300, TEXT_HEADING},
    {"OGRE . OIS", 140, 340, TEXT_BODY},
    {"OpenAL Soft . libsndfile", 145, 380, TEXT_BODY},
};

void InfoScreen::enter()
{
    nowMs = static_cast<int>(plat::clock());
    buildScene(HELP_CAMERA);
    for (int i = 0; i < INFO_LINES; ++i) {
        auto* item = new TextItem();
        item->setPosition(lines[i].left, lines[i].top);
        item->setText(lines[i].text);
        item->show();
        texts[i] = item;
    }
    createSceneryFigure();
    setupLights(LightOrder::BACKGROUND_THEN_AMBIENT);
    refreshTextColours();
}

void InfoScreen::refreshTextColours()
{
    for (int i = 0; i < INFO_LINES; ++i)
        texts[i]->setColour(colour(lines[i].role));
}

bool InfoScreen::frameStarted(const Ogre::FrameEvent&)
{
    nowMs = static_cast<int>(plat::clock());
    if (sceneryFigure)
        sceneryFigure->update(nowMs);
    pulse();
    if (!coloursAtFrameEnd)
        refreshTextColours();
    return true;
}

bool InfoScreen::frameEnded(const Ogre::FrameEvent&)
{
    if (coloursAtFrameEnd)
        refreshTextColours();
    endFrame(deadline);
    return true;
}

void InfoScreen::exit()
{
    deleteFigures();
    tearDownScene();
    for (TextItem*& text : texts)
        deleteAndNull(text);
}
