// The main menu in a real window: where its texts stand, their colours, the
// scenery figure and the keys.
#include "tests/screens/screen_fixture.h"

#include "app/EngineCounts.h"
#include "app/MenuLogic.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "model/Model.h"
#include "model/ModelManager.h"

#include <Ogre.h>

namespace {

struct WindowSize {
    unsigned width, height;
    float column, playTop, exitTop, titleLeft, titleTop;
};

std::ostream& operator<<(std::ostream& out, const WindowSize& s) { return out << s.width << "x" << s.height; }

class MenuLayoutScreen : public ScreenTest, public ::testing::WithParamInterface<WindowSize> {
protected:
    void SetUp() override { start(GetParam().width, GetParam().height); }
};

// Whether a sound was started and still plays (a stopped or never-started
// channel cannot tell its position).
bool sounding(int k)
{
    unsigned position = 0;
    return SoundManager::getSingleton().sounds[k].second.getPosition(&position);
}

} // namespace

TEST_P(MenuLayoutScreen, TextsStandWhereTheWindowSizePutsThem)
{
    const WindowSize& s = GetParam();
    ASSERT_EQ(game->window->getWidth(), s.width);
    ASSERT_EQ(game->window->getHeight(), s.height);
    game->changeState(&menuState);
    EXPECT_EQ(leftOf(menuState.playText), s.column);
    EXPECT_EQ(topOf(menuState.playText), s.playTop);
    EXPECT_EQ(leftOf(menuState.exitText), s.column);
    EXPECT_EQ(topOf(menuState.exitText), s.exitTop);
    EXPECT_EQ(leftOf(menuState.titleText), s.titleLeft);
    EXPECT_EQ(topOf(menuState.titleText), s.titleTop);
    const MenuLayout l = menuLayout(s.width, s.height);
    EXPECT_EQ(topOf(menuState.helpText), l.help.top);
    EXPECT_EQ(topOf(menuState.creditsText), l.credits.top);
    EXPECT_EQ(caption(menuState.titleText), "tessaline");
}

INSTANTIATE_TEST_SUITE_P(Sizes, MenuLayoutScreen,
                         ::testing::Values(WindowSize{800, 600, 355, 250, 400, 310, 150},
                                           WindowSize{1024, 768, 454, 320, 512, 396, 192},
                                           WindowSize{1280, 1024, 568, 426, 682, 496, 256}));

using MenuScreen = ScreenTest;

TEST_F(MenuScreen, EntryBuildsTheSceneryAndHighlightsPlayInThePaletteColours)
{
    game->changeState(&menuState);
    ASSERT_NE(menuState.sceneryFigure, nullptr);
    EXPECT_EQ(menuState.sceneryFigure->name, "environ3");
    EXPECT_EQ(menuState.sceneryFigure->currentNode->getScale(), Ogre::Vector3(5, 5, 5));
    EXPECT_EQ(menuState.camera->getName(), "IntroCamera");
    EXPECT_EQ(menuState.selectedItem, ITEM_PLAY);
    const ColourScheme& p = menuState.modelManager->palette;
    EXPECT_EQ(colourOf(menuState.titleText), p[9]);
    EXPECT_EQ(colourOf(menuState.playText), p[11]);
    EXPECT_EQ(colourOf(menuState.helpText), p[0]);
    EXPECT_EQ(colourOf(menuState.creditsText), p[0]);
    EXPECT_EQ(colourOf(menuState.exitText), p[0]);
    // A tentacle is drawn where the factory has one.
    for (Model* tentacle : menuState.tentacleFigures)
        if (tentacle) {
            EXPECT_TRUE(tentacle->isAnimating());
        }

    press(input::KC_DOWN);
    frame(1100);
    EXPECT_EQ(colourOf(menuState.helpText), p[11]);
    EXPECT_EQ(colourOf(menuState.playText), p[0]);
}

TEST_F(MenuScreen, UpAtPlayAndDownAtExitAreSilent)
{
    game->changeState(&menuState);
    SoundManager& sounds = SoundManager::getSingleton();
    sounds.stop(SOUND_MENU_MOVE);
    press(input::KC_UP);
    EXPECT_EQ(menuState.selectedItem, ITEM_PLAY);
    EXPECT_FALSE(sounding(SOUND_MENU_MOVE));
    press(input::KC_DOWN);
    EXPECT_EQ(menuState.selectedItem, ITEM_HELP);
    EXPECT_TRUE(sounding(SOUND_MENU_MOVE));
    press(input::KC_DOWN);
    press(input::KC_DOWN);
    sounds.stop(SOUND_MENU_MOVE);
    press(input::KC_DOWN);
    EXPECT_EQ(menuState.selectedItem, ITEM_EXIT);
    EXPECT_FALSE(sounding(SOUND_MENU_MOVE));
}

TEST_F(MenuScreen, ReturnOnExitHidesTitlePlayAndExitPlaysTheSelectSoundAndEndsAfterTheFrame)
{
    game->changeState(&menuState);
    SoundManager::getSingleton().stop(SOUND_MENU_SELECT);
    for (int i = 0; i < 3; ++i)
        press(input::KC_DOWN);
    press(input::KC_RETURN);
    EXPECT_FALSE(shownOnScreen(menuState.titleText));
    EXPECT_FALSE(shownOnScreen(menuState.playText));
    EXPECT_FALSE(shownOnScreen(menuState.exitText));
    EXPECT_TRUE(shownOnScreen(menuState.helpText));
    EXPECT_TRUE(shownOnScreen(menuState.creditsText));
    EXPECT_TRUE(sounding(SOUND_MENU_SELECT));
    EXPECT_FALSE(frame(1100));
}

TEST_F(MenuScreen, ReturnLeadsToHelpCreditsAndPlayAndAnyKeyLeadsBack)
{
    game->changeState(&menuState);
    press(input::KC_DOWN);
    press(input::KC_RETURN);
    EXPECT_EQ(top(), &helpState);
    EXPECT_EQ(menuState.sceneManager, nullptr); // the menu's scene is gone
    frame(1100);
    press(input::KC_ESCAPE);
    EXPECT_EQ(top(), &menuState);
    EXPECT_EQ(menuState.selectedItem, ITEM_PLAY);

    press(input::KC_DOWN);
    press(input::KC_DOWN);
    press(input::KC_RETURN);
    EXPECT_EQ(top(), &creditsState);
    press(input::KC_RETURN);
    EXPECT_EQ(top(), &menuState);

    press(input::KC_RETURN);
    EXPECT_EQ(top(), &playState);
    EXPECT_EQ(game->states.size(), 1u);
}

TEST_F(MenuScreen, OChangesTheSchemeOnceAndNotAgainDuringTheFade)
{
    game->changeState(&menuState);
    ModelManager* m = menuState.modelManager;
    const int target = m->targetScheme;
    const int deadline = MenuState::colourCycleDeadline;
    press(input::KC_O);
    frame(1100);
    EXPECT_TRUE(m->fading);
    press(input::KC_O);
    EXPECT_EQ(m->targetScheme, (target + 1) % SCHEME_COUNT);
    EXPECT_EQ(MenuState::colourCycleDeadline, deadline);
    EXPECT_EQ(schemeIndex, m->targetScheme);
}

// Visits leave nothing behind: each exit gives its scene manager back and
// deletes its texts and figures.
TEST_F(MenuScreen, ManyVisitsKeepTheEngineFlat)
{
    game->changeState(&menuState);
    auto counts = [] { return engineCounts() + ", texts " + std::to_string(TextItem::liveCount()); };
    const auto first = counts();
    long t = 2000;
    for (int i = 0; i < 10; ++i) {
        game->changeState(&helpState);
        frame(t += 20);
        game->changeState(&menuState);
        frame(t += 20);
        game->changeState(&highScoresState);
        frame(t += 20);
        game->changeState(&creditsState);
        frame(t += 20);
        game->changeState(&menuState);
        frame(t += 20);
    }
    EXPECT_EQ(counts(), first);
    EXPECT_EQ(game->root->getSceneManagers().size(), 1u);
}
