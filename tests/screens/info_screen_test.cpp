// The help, credits and high-score screens: their lines, their first-frame
// colour change, and text colours that follow a fade frame by frame (the
// credits one frame behind).
#include "tests/screens/screen_fixture.h"

#include "app/ColourCycle.h"
#include "app/HighScoreFile.h"
#include "app/Screens.h"
#include "model/Model.h"
#include "model/ModelManager.h"

#include <Ogre.h>

#include <cstdio>
#include <fstream>
#include <vector>

using InfoScreenTest = ScreenTest;

TEST_F(InfoScreenTest, HelpLinesStandAtTheirFixedPixels)
{
    game->changeState(&helpState);
    EXPECT_EQ(helpState.camera->getName(), "HelpCamera");
    ASSERT_NE(helpState.sceneryFigure, nullptr);
    for (int i = 0; i < INFO_LINES; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(caption(helpState.texts[i]), HELP_LINES[i].text);
        EXPECT_EQ(leftOf(helpState.texts[i]), HELP_LINES[i].left);
        EXPECT_EQ(topOf(helpState.texts[i]), HELP_LINES[i].top);
        EXPECT_TRUE(shownOnScreen(helpState.texts[i]));
    }
    EXPECT_EQ(caption(helpState.texts[7]), "PAUSE : P     CHANGE COLOR : O");
}

TEST_F(InfoScreenTest, CreditsNameElevenRolesOnTheirLines)
{
    game->changeState(&creditsState);
    int names = 0;
    for (int i = 0; i < INFO_LINES; ++i) {
        EXPECT_EQ(caption(creditsState.texts[i]), CREDITS_LINES[i].text);
        if (CREDITS_LINES[i].role == TEXT_BODY)
            names += 1 + (std::string(CREDITS_LINES[i].text).find(" . ") != std::string::npos);
    }
    EXPECT_EQ(caption(creditsState.texts[0]), "Tessaline");
    EXPECT_EQ(names, 11);
}

namespace {

// Lines 0, 1 and 2 of both screens are a title, a heading and a body line.
const int ROLE_SLOTS[3] = {9, 11, 0};

struct Frame {
    Ogre::ColourValue drawn[3];   // the lines' colours when the scene is drawn
    Ogre::ColourValue palette[3]; // the live palette then
};

} // namespace

class FadeFollowing : public ScreenTest {
protected:
    // A first visit: the first frame starts a change; frames every 100 ms
    // through the one-second fade.
    std::vector<Frame> visit(InfoScreen& screen)
    {
        game->changeState(&screen);
        std::vector<Frame> frames;
        for (long now = 1000; now <= 2300; now += 100) {
            frameStart(now);
            Frame f;
            for (int r = 0; r < 3; ++r) {
                f.drawn[r] = colourOf(screen.texts[r]);
                f.palette[r] = screen.modelManager->palette[ROLE_SLOTS[r]];
            }
            frames.push_back(f);
            frameEnd();
        }
        return frames;
    }
    static bool anyChange(const std::vector<Frame>& frames)
    {
        for (std::size_t i = 1; i < frames.size(); ++i)
            if (frames[i].palette[2] != frames[i - 1].palette[2])
                return true;
        return false;
    }
};

TEST_F(FadeFollowing, HelpLinesShowTheLivePaletteInEveryFrame)
{
    HelpState::colourCycleDeadline = 0;
    std::vector<Frame> frames = visit(helpState);
    ASSERT_TRUE(anyChange(frames));
    EXPECT_EQ(HelpState::colourCycleDeadline, 1000 + COLOUR_CYCLE_PERIOD_MS);
    for (std::size_t i = 0; i < frames.size(); ++i)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(frames[i].drawn[r], frames[i].palette[r]) << "frame " << i << " role " << r;
}

TEST_F(FadeFollowing, CreditsLinesShowThePaletteOfTheFrameBefore)
{
    CreditsState::colourCycleDeadline = 0;
    std::vector<Frame> frames = visit(creditsState);
    ASSERT_TRUE(anyChange(frames));
    for (std::size_t i = 1; i < frames.size(); ++i)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(frames[i].drawn[r], frames[i - 1].palette[r]) << "frame " << i << " role " << r;
    // and the fade really shows in them: one frame late, never skipped
    EXPECT_NE(frames[3].drawn[2], frames[3].palette[2]);
}

TEST_F(FadeFollowing, ALaterVisitChangesAtTheDeadlineItLeftBehind)
{
    HelpState::colourCycleDeadline = 0;
    game->changeState(&helpState);
    frame(1000); // first visit: a change now, the next at 34000
    const int scheme = schemeIndex;
    game->changeState(&menuState);
    frame(11000); // left 10 s later
    game->changeState(&helpState);
    frame(16000); // back 5 s after that
    EXPECT_EQ(schemeIndex, scheme);
    frame(33999);
    EXPECT_EQ(schemeIndex, scheme);
    frame(34000); // 18 s after the return
    EXPECT_EQ(schemeIndex, (scheme + 1) % SCHEME_COUNT);
}

TEST_F(FadeFollowing, TheNextScreenStartsAtTheNewSchemeWithoutAFade)
{
    HelpState::colourCycleDeadline = 0;
    game->changeState(&helpState);
    frame(1000); // starts the change and leaves at once, mid-fade
    const int target = helpState.modelManager->targetScheme;
    game->changeState(&menuState);
    EXPECT_EQ(menuState.modelManager->currentScheme, target);
    EXPECT_FALSE(menuState.modelManager->fading);
    EXPECT_EQ(colourOf(menuState.helpText), colourSchemes[target][0]);
}

// --- the high-score screen over a table of files ---

namespace {

struct ScoreFile {
    const char* label;
    const char* text; // null: no file
    const char* names[5];
    const char* scores[5];
};

// The first 4,096 bytes end in the middle of the first score.
const std::string OVER_LIMIT = std::string(HIGH_SCORE_FILE_MAX_BYTES - 7, 'x') + "\nann 1000\nb 1\nc 1\nd 1\ne 1\n";

const ScoreFile SCORE_FILES[] = {
    {"missing", nullptr, {"", "", "", "", ""}, {"0", "0", "0", "0", "0"}},
    {"whole", "Best\nann\n9000\nbob\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n",
     {"ann", "bob", "cyd", "dee", "eve"}, {"9000", "7000", "5000", "3000", "1000"}},
    {"ends after the third score", "x\nann 1234567\nbob -5\ncyd 3\n",
     {"ann", "bob", "cyd", "cyd", "cyd"}, {"1234567", "-5", "3", "3", "3"}},
    {"bad score in row 2", "x\nann 10\nbob abc\ncyd 3\ndee 4\neve 5\n",
     {"ann", "bob", "bob", "bob", "bob"}, {"10", "10", "10", "10", "10"}},
    {"first line only", "only a header line\n",
     {"only a header line", "only a header line", "only a header line", "only a header line",
      "only a header line"},
     {"0", "0", "0", "0", "0"}},
    {"long name", "x\nAbcdefghijAbcdefghijAbcdefghijAbcdefghij 7\nb 1\nc 1\nd 1\ne 1\n",
     {"AbcdefghijAbcdefghijAbcdefghijAbcdefghij", "b", "c", "d", "e"}, {"7", "1", "1", "1", "1"}},
    // The engine's text takes only valid UTF-8.
    {"names not in UTF-8", "x\nJ\xfcrgen 5\n\xff 4\nok\xc3\xa9 3\n\xf0\x9f\x9a\x80 2\nab\xe2\x82 1\n",
     {"J?rgen", "?", "ok\xc3\xa9", "\xf0\x9f\x9a\x80", "ab??"}, {"5", "4", "3", "2", "1"}},
    // Refused whole: never shown cut, as 1000 became 10 once.
    {"over the size limit", OVER_LIMIT.c_str(), {"", "", "", "", ""}, {"0", "0", "0", "0", "0"}},
};

} // namespace

TEST_F(InfoScreenTest, HighScoreScreenOverATableOfFiles)
{
    const std::string path = std::string(TESS_RUN_DIR) + "/screens_test_scores.kes";
    HighScoresState::path = path;
    for (const ScoreFile& f : SCORE_FILES) {
        SCOPED_TRACE(f.label);
        std::remove(path.c_str());
        if (f.text)
            std::ofstream(path) << f.text;
        game->changeState(&highScoresState);
        EXPECT_EQ(caption(highScoresState.titleText), "High Scores");
        EXPECT_EQ(leftOf(highScoresState.titleText), 260);
        EXPECT_EQ(topOf(highScoresState.titleText), 140);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(caption(highScoresState.nameTexts[i]), f.names[i]) << "row " << i;
            EXPECT_EQ(caption(highScoresState.scoreTexts[i]), f.scores[i]) << "row " << i;
            EXPECT_EQ(leftOf(highScoresState.nameTexts[i]), 210);
            EXPECT_EQ(leftOf(highScoresState.scoreTexts[i]), 470);
            EXPECT_EQ(topOf(highScoresState.scoreTexts[i]), 200 + 40 * i);
            EXPECT_TRUE(shownOnScreen(highScoresState.nameTexts[i]));
        }
        game->changeState(&menuState);
    }
    std::remove(path.c_str());
    EXPECT_FALSE(std::ifstream(path).good()); // the screen never writes one
    HighScoresState::path = HIGH_SCORE_FILE;
}

TEST_F(InfoScreenTest, HighScoreScreenChangesColoursOnItsFirstFrameAndKeepsTheDefaultBackground)
{
    HighScoresState::colourCycleDeadline = 0;
    HighScoresState::path = "no-such-file.kes";
    game->changeState(&highScoresState);
    const int scheme = schemeIndex;
    frame(1000);
    EXPECT_EQ(schemeIndex, (scheme + 1) % SCHEME_COUNT);
    EXPECT_EQ(highScoresState.viewport->getBackgroundColour(), Ogre::ColourValue::Black);
    EXPECT_EQ(colourOf(highScoresState.titleText), highScoresState.modelManager->palette[9]);
    EXPECT_EQ(colourOf(highScoresState.scoreTexts[4]), highScoresState.modelManager->palette[0]);
    press(input::KC_SPACE);
    EXPECT_EQ(top(), &menuState);
    HighScoresState::path = HIGH_SCORE_FILE;
}
