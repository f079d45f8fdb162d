#include "app/HighScoresState.h"

#include <OgreStringConverter.h>

#include "app/HighScoreFile.h"
#include "app/TextItem.h"
#include "model/Model.h"
#include "platform/clock.h"

int HighScoresState::colourCycleDeadline = 0;
std::string HighScoresState::path = HIGH_SCORE_FILE;

namespace {

const float NAME_LEFT = 210;
const float SCORE_LEFT = 470;
const float FIRST_ROW_TOP = 200;
const float ROW_STEP = 40;
const float TITLE_LEFT = 260;
const float TITLE_TOP = 140;

} // namespace

void HighScoresState::enter()
{
    nowMs = static_cast<int>(plat::clock());
    buildScene(HELP_CAMERA);
    createSceneryFigure();
    setupLights(LightOrder::NO_BACKGROUND);

    titleText = new TextItem();
    for (TextItem*& text : nameTexts)
        text = new TextItem();
    for (TextItem*& text : scoreTexts)
        text = new TextItem();

    const HighScoreTable table = readHighScores(path);
    for (int i = 0; i < ROWS; ++i) {
        nameTexts[i]->setText(shownHighScoreName(table[i].name));
        scoreTexts[i]->setText(Ogre::StringConverter::toString(table[i].score));
        const float top = FIRST_ROW_TOP + ROW_STEP * i;
        nameTexts[i]->setPosition(NAME_LEFT, top);
        scoreTexts[i]->setPosition(SCORE_LEFT, top);
    }
    titleText->setText("High Scores");
    titleText->setPosition(TITLE_LEFT, TITLE_TOP);

    titleText->show();
    for (int i = 0; i < ROWS; ++i) {
        nameTexts[i]->show();
        scoreTexts[i]->show();
    }
}

bool HighScoresState::frameStarted(const Ogre::FrameEvent&)
{
    nowMs = static_cast<int>(plat::clock());
    if (sceneryFigure)
        sceneryFigure->update(nowMs);
    pulse();
    titleText->setColour(colour(TEXT_TITLE));
    for (int i = 0; i < ROWS; ++i) {
        nameTexts[i]->setColour(colour(TEXT_BODY));
        scoreTexts[i]->setColour(colour(TEXT_BODY));
    }
    return true;
}

bool HighScoresState::frameEnded(const Ogre::FrameEvent&)
{
    endFrame(colourCycleDeadline);
    return true;
}

void HighScoresState::exit()
{
    deleteFigures();
    deleteAndNull(titleText);
    for (TextItem*& text : nameTexts)
        deleteAndNull(text);
    for (TextItem*& text : scoreTexts)
        deleteAndNull(text);
    tearDownScene();
}
