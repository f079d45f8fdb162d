// The end screen over a finished game's scene (a stand-in for the play
// screen): its outcome line, the keys it ignores, Return back to the menu,
// and the name entry when the score makes the high-score table.
#include "tests/screens/screen_fixture.h"

#include "app/HighScoreFile.h"
#include "app/NameEntry.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "model/ModelManager.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// A finished game's scene: its own scene manager, camera and viewport, kept
// while the end screen is shown, and taken down by its exit.
class StandInPlay : public DefaultGameState {
public:
    void enter() override
    {
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        scene = root->createSceneManager();
        camera = scene->createCamera("PlayCamera");
        root->getAutoCreatedWindow()->addViewport(camera);
        entered = true;
        exited = paused = resumed = false;
    }
    void exit() override
    {
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        root->getAutoCreatedWindow()->removeAllViewports();
        root->destroySceneManager(scene);
        exited = true;
    }
    void pause() override { paused = true; }
    void resume() override { resumed = true; }
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        ++frames;
        return true;
    }

    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    bool entered = false, exited = false, paused = false, resumed = false;
    int frames = 0;
};

StandInPlay standIn;

} // namespace

class EndScreenTest : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        JustEndedState::path = path;
        SoundManager::getSingleton().setPaused(SOUND_MENU_MUSIC, true);
        game->changeState(&standIn);
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        JustEndedState::path = HIGH_SCORE_FILE;
        ScreenTest::TearDown();
    }
    void endGame(bool won)
    {
        gameWon = won;
        game->pushState(&justEndedState);
    }
    void type(const std::string& text)
    {
        for (char c : text)
            press(30, static_cast<unsigned char>(c));
    }
    std::string contents()
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    unsigned musicPosition()
    {
        unsigned p = 0;
        SoundManager::getSingleton().sounds[SOUND_MENU_MUSIC].second.getPosition(&p);
        return p;
    }

    const std::string path = std::string(TESS_RUN_DIR) + "/end_screen_test_scores.kes";
};

TEST_F(EndScreenTest, OutcomeLineInTheBodyColourOverTheUnchangingScene)
{
    for (bool won : {true, false}) {
        SCOPED_TRACE(won);
        const std::size_t managers = game->root->getSceneManagers().size();
        endGame(won);
        EXPECT_TRUE(standIn.paused);
        EXPECT_EQ(caption(justEndedState.outcomeText), won ? "You Won!  Press ENTER" : "You Lost!  Press ENTER");
        EXPECT_EQ(leftOf(justEndedState.outcomeText), 340);
        EXPECT_EQ(topOf(justEndedState.outcomeText), 25);
        EXPECT_TRUE(shownOnScreen(justEndedState.outcomeText));
        EXPECT_EQ(colourOf(justEndedState.outcomeText), colourSchemes[schemeIndex][0]);
        EXPECT_EQ(game->window->getNumViewports(), 1u); // the play scene's
        frame(1100);
        EXPECT_EQ(standIn.frames, 0);
        EXPECT_FALSE(shownOnScreen(justEndedState.promptText)); // no score given: no name asked

        for (int key : {input::KC_ESCAPE, input::KC_SPACE, input::KC_UP, input::KC_DOWN, input::KC_LEFT,
                        input::KC_RIGHT, input::KC_P, input::KC_O, input::KC_BACK})
            press(key);
        EXPECT_EQ(top(), &justEndedState);

        press(input::KC_RETURN);
        EXPECT_EQ(top(), &menuState);
        EXPECT_EQ(game->states.size(), 1u);
        EXPECT_TRUE(standIn.resumed);
        EXPECT_TRUE(standIn.exited);
        // The end screen's own scene manager went back with it; the stand-in's
        // went at its exit and the menu made one.
        EXPECT_EQ(game->root->getSceneManagers().size(), managers);
        game->changeState(&standIn);
    }
}

TEST_F(EndScreenTest, ReturnUnpausesTheMenuMusic)
{
    endGame(true);
    const unsigned before = musicPosition();
    usleep(300000);
    EXPECT_EQ(musicPosition(), before); // paused while the game ran
    press(input::KC_RETURN);
    usleep(300000);
    EXPECT_GT(musicPosition(), before);
}

TEST_F(EndScreenTest, AScoreThatMakesTheTableAsksForTheNameAndReturnWritesIt)
{
    std::ofstream(path) << "Best\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";
    justEndedState.setFinalScore(8000);
    endGame(true);
    frame(1100);
    EXPECT_TRUE(nameEntryEnabled);
    EXPECT_TRUE(shownOnScreen(justEndedState.promptText));
    EXPECT_TRUE(shownOnScreen(justEndedState.nameText));
    EXPECT_EQ(caption(justEndedState.promptText), "Well played.  Enter your name:");
    EXPECT_EQ(topOf(justEndedState.promptText), 50);
    EXPECT_EQ(topOf(justEndedState.nameText), 75);
    EXPECT_EQ(caption(justEndedState.nameText), "_");

    type("Zx");
    EXPECT_EQ(caption(justEndedState.nameText), "Zx_");
    press(input::KC_BACK);
    press(input::KC_BACK);
    press(input::KC_BACK); // nothing left to take
    EXPECT_EQ(caption(justEndedState.nameText), "_");
    press(input::KC_SPACE, ' '); // a blank would split the entry
    type("Kestrel99");           // one more than fits
    EXPECT_EQ(caption(justEndedState.nameText), "Kestrel9_");
    press(input::KC_ESCAPE, 27);
    EXPECT_EQ(top(), &justEndedState);

    press(input::KC_RETURN, '\r');
    EXPECT_EQ(top(), &menuState);
    EXPECT_EQ(contents(), "Best\nann\n9000\nKestrel9\n8000\nbob\n7000\ncyd\n5000\ndee\n3000\n");
    EXPECT_FALSE(nameEntryEnabled);

    // The score is good for its own game only.
    game->changeState(&standIn);
    endGame(false);
    EXPECT_FALSE(nameEntryEnabled);
}

TEST_F(EndScreenTest, AScoreOffTheTableOrABadFileAsksNothingAndWritesNothing)
{
    const char* files[] = {
        "Best\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n", // 500 is too low
        "Best\nann\n9000\nbob\n",                                       // short
        nullptr,                                                       // missing
    };
    for (const char* text : files) {
        std::remove(path.c_str());
        if (text)
            std::ofstream(path) << text;
        justEndedState.setFinalScore(text && std::string(text).size() > 20 ? 500 : 50000);
        endGame(false);
        frame(1100);
        EXPECT_FALSE(shownOnScreen(justEndedState.promptText));
        type("joe");
        press(input::KC_RETURN, '\r');
        EXPECT_EQ(top(), &menuState);
        EXPECT_EQ(contents(), text ? text : "");
        EXPECT_EQ(std::ifstream(path).good(), text != nullptr);
        game->changeState(&standIn);
    }
}

TEST_F(EndScreenTest, ReturnWithoutANameLeavesTheTableAlone)
{
    const char* table = "Best\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";
    std::ofstream(path) << table;
    justEndedState.setFinalScore(99999);
    endGame(true);
    press(input::KC_RETURN, '\r');
    EXPECT_EQ(top(), &menuState);
    EXPECT_EQ(contents(), table);
}
