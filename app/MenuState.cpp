#include "app/MenuState.h"

#include <Ogre.h>

#include "app/ColourCycle.h"
#include "app/EngineCounts.h"
#include "app/GameManager.h"
#include "app/MenuLogic.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "app/TextItem.h"
#include "model/Model.h"
#include "model/ModelManager.h"
#include "platform/clock.h"

int MenuState::colourCycleDeadline = 0;

namespace {

// The tentacles stand in a row behind the items, turned each its own way;
// the factory's placement is replaced by the scene position and the root
// orientation of the row.
struct TentacleSpot {
    Ogre::Vector3 position;
    Ogre::Vector3 angles;
    Ogre::Vector3 rootScale;
    float orientationY, orientationZ;
};

const TentacleSpot TENTACLE_SPOTS[MenuState::TENTACLES] = {
    {{1, 3, -80}, {0, 0, 0}, {4, 5, 4}, 0, 1},
    {{-1, 0, -80}, {0, 90, 0}, {5, 5, 5}, -0.4f, 0.5f},
    {{-1, -3, -80}, {0, -90, 0}, {3.4f, 5, 3.4f}, 0.4f, 0.5f},
};

const int TENTACLE_IDLE = 1;

TextItem* makeText(const TextPosition& at, const char* text)
{
    auto* item = new TextItem();
    item->setPosition(at.left, at.top);
    item->setText(text);
    return item;
}

} // namespace

void MenuState::enter()
{
    nowMs = static_cast<int>(plat::clock());
    colourCycleDeadline = nowMs + COLOUR_CYCLE_PERIOD_MS;
    buildScene(MENU_CAMERA);

    window = GameManager::getSingleton().window;
    quitRequested = false;
    selectedItem = ITEM_PLAY;

    createSceneryFigure();
    createTentacles();
    setupLights(LightOrder::AMBIENT_THEN_BACKGROUND);
    createTexts();
    SoundManager::getSingleton();
    highlightSelection();
    Ogre::LogManager::getSingleton().logMessage("Tessaline menu: " + engineCounts());
}

void MenuState::createTentacles()
{
    for (int i = 0; i < TENTACLES; ++i) {
        const TentacleSpot& spot = TENTACLE_SPOTS[i];
        Model* tentacle = modelManager->createModel(TENTACLE_TYPE, spot.position, spot.angles,
                                                    Ogre::Vector3::UNIT_SCALE, nullptr);
        tentacleFigures[i] = tentacle;
        if (!tentacle)
            continue;
        tentacle->startAnimation(TENTACLE_IDLE, true, nowMs);
        tentacle->root->setScale(spot.rootScale);
        tentacle->setRootOrientation(spot.orientationY, spot.orientationZ);
        tentacle->root->setPosition(spot.position);
    }
}

void MenuState::createTexts()
{
    const MenuLayout layout = menuLayout(window->getWidth(), window->getHeight());
    playText = makeText(layout.play, "Play");
    helpText = makeText(layout.help, "Help");
    creditsText = makeText(layout.credits, "Credits");
    exitText = makeText(layout.exit, "Exit");
    titleText = makeText(layout.title, "tessaline");
    titleText->show();
    playText->show();
    helpText->show();
    exitText->show();
    creditsText->show();
}

void MenuState::highlightSelection()
{
    titleText->setColour(colour(TEXT_TITLE));
    if (selectedItem < ITEM_PLAY || selectedItem > ITEM_EXIT)
        return;
    TextItem* items[4] = {playText, helpText, creditsText, exitText};
    for (int i = 0; i < 4; ++i)
        items[i]->setColour(colour(i + 1 == selectedItem ? TEXT_HEADING : TEXT_BODY));
}

void MenuState::keyPressed(KeyEvent* e)
{
    switch (menuKey(e->getKey(), selectedItem)) {
    case MenuCommand::MOVED:
        SoundManager::getSingleton().play(SOUND_MENU_MOVE);
        break;
    case MenuCommand::CHOOSE:
        playText->hide();
        exitText->hide();
        titleText->hide();
        SoundManager::getSingleton().play(SOUND_MENU_SELECT);
        chooseSelectedItem();
        break;
    case MenuCommand::QUIT:
        quitRequested = true;
        break;
    case MenuCommand::CYCLE_COLOURS:
        modelManager->cycleScheme(true);
        break;
    case MenuCommand::NONE:
        break;
    }
}

// A change of screen exits the menu before it returns: nothing of the menu
// is touched after it.
void MenuState::chooseSelectedItem()
{
    GameManager& game = GameManager::getSingleton();
    switch (selectedItem) {
    case ITEM_PLAY:
        SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, true);
        game.changeState(&playState);
        break;
    case ITEM_HELP:
        game.changeState(&helpState);
        break;
    case ITEM_CREDITS:
        game.changeState(&creditsState);
        break;
    case ITEM_EXIT:
        quitRequested = true;
        break;
    default:
        break;
    }
}

bool MenuState::frameStarted(const Ogre::FrameEvent&)
{
    nowMs = static_cast<int>(plat::clock());
    if (sceneryFigure)
        sceneryFigure->update(nowMs);
    for (Model* tentacle : tentacleFigures)
        if (tentacle)
            tentacle->update(nowMs);
    pulse();
    highlightSelection();
    return true;
}

bool MenuState::frameEnded(const Ogre::FrameEvent&)
{
    endFrame(colourCycleDeadline);
    return !quitRequested;
}

void MenuState::exit()
{
    deleteAndNull(playText);
    deleteAndNull(titleText);
    deleteAndNull(exitText);
    deleteAndNull(helpText);
    deleteAndNull(creditsText);
    deleteAndNull(sceneryFigure);
    for (Model*& tentacle : tentacleFigures)
        deleteAndNull(tentacle);
    deleteFigures();
    tearDownScene();
}
