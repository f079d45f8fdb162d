// The end screen over a finished game's scene (a stand-in for the play
// screen): its outcome line, the keys it ignores, Return back to the menu,
// and the name entry when the score makes the high-score table.
#include "tests/screens/screen_fixture.h"

#include "app/HighScoreFile.h"
#include "app/NameEntry.h"
#include "app/Screens.h"
#include "app/SoundManager.h"
#include "model/ModelManager.h"
#include "tests/app/folder_snapshot.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
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

// --- the table's file against what can stand at its path ---
//
// Each row lays out a fresh folder, then takes the rewrite and, in another
// fresh folder, the end screen's entry through it. Afterwards the folder
// must hold exactly what it held before, but for the table's new bytes when
// the row expects them: no temporary file left, no link or FIFO followed or
// replaced, the mode kept. The row also says what the player is told.

namespace {

const std::string TABLE_ROWS = "ann\n9000\n___\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";
const std::string TABLE = "Best\n" + TABLE_ROWS;
// The rewrite with "kim", and the end screen entering 8000 under "kim".
const std::string REWRITTEN = "Best\nann\n9000\nkim\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";
const std::string ENTERED = "Best\nann\n9000\nkim\n8000\n___\n7000\ncyd\n5000\ndee\n3000\n";
// Exactly as big as a table may be.
const std::string FULL_SIZE = std::string(HIGH_SCORE_FILE_MAX_BYTES - TABLE_ROWS.size() - 1, 'x') + "\n" + TABLE_ROWS;
const std::string FULL_SIZE_REWRITTEN = std::string(FULL_SIZE).replace(FULL_SIZE.find("___"), 3, "kim");
// Room for 8000 under a name of eight characters, and not a byte more.
const std::string ROOM_FOR_ANY_NAME = FULL_SIZE.substr(5);
const std::string ROOM_FOR_ANY_NAME_REWRITTEN =
    std::string(ROOM_FOR_ANY_NAME).replace(ROOM_FOR_ANY_NAME.find("___"), 3, "kimberly");
const std::string ROOM_FOR_ANY_NAME_ENTERED =
    ROOM_FOR_ANY_NAME.substr(0, ROOM_FOR_ANY_NAME.find('\n') + 1) +
    "ann\n9000\nkimberly\n8000\n___\n7000\ncyd\n5000\ndee\n3000\n";
// Four names of 1,100 characters: the text crosses the limit in the fourth.
const std::string LONG_NAMES = "Best\n" + std::string(1100, 'a') + " 9\n" + std::string(1100, 'b') + " 8\n" +
                               std::string(1100, 'c') + " 7\n" + std::string(1100, 'd') + " 6\n___ 5\n";
const std::string UNSORTED = "Best\nann\n500\nbob\n9000\n___\n100\ndee\n7000\neve\n3000\n";
const std::string LATIN1 = "Best\nJ\xfcrgen\n9000\n___\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n";

// A fresh folder, on a small file system of its own when asked.
struct Folder {
    Folder()
    {
        char pattern[] = "/tmp/tessaline-table.XXXXXX";
        if (mkdtemp(pattern))
            dir = pattern;
        path = dir + "/scores.kes";
    }
    ~Folder()
    {
        if (mounted)
            umount2(dir.c_str(), MNT_DETACH);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    void put(const std::string& name, const std::string& text, mode_t mode = 0644) const
    {
        const std::string file = dir + "/" + name;
        std::ofstream(file, std::ios::binary) << text;
        chmod(file.c_str(), mode);
    }
    void link(const std::string& target, const std::string& name) const { symlink(target.c_str(), (dir + "/" + name).c_str()); }
    // False where the machine does not let the test mount one.
    bool mountSmall()
    {
        mounted = mount("tessaline-test", dir.c_str(), "tmpfs", 0, SMALL) == 0;
        return mounted;
    }
    bool fill() const
    {
        const int fd = open((dir + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        while (write(fd, "f", 1) > 0) {
        }
        return close(fd) == 0;
    }
    bool readOnly() const { return mount("tessaline-test", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, SMALL) == 0; }

    static constexpr const char* SMALL = "size=16k";

    std::string dir, path;
    bool mounted = false;
};

// The folder as it should be: as before, but for the table's bytes.
std::map<std::string, std::string> withTable(std::map<std::string, std::string> before, const char* bytes)
{
    if (bytes) {
        std::string& table = before["scores.kes"];
        std::size_t contents = 0;
        for (int field = 0; field < 3; ++field)
            contents = table.find(' ', contents) + 1;
        table = table.substr(0, contents) + bytes;
    }
    return before;
}

enum class Told {
    SAVED,        // back on the menu
    NOT_SAVED,    // "Score not saved" until Return
    REFUSED,      // "Score not saved" at once, no name asked; Return goes back to the menu
    NOT_ASKED,    // no name asked; Return goes back to the menu
    STILL_ASKING, // Return keeps the entry open for another name
};

struct FileCase {
    const char* what;
    // Lays out the folder; false when the machine cannot, with the reason.
    std::function<bool(Folder&, std::string& why)> make;
    const char* afterRewrite; // the table's bytes; null: the folder unchanged
    Told told;
    const char* afterEntry;
    std::string name = "kim";
    const char* shownFirst = nullptr; // the high-score screen's first name, when it matters
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.what; }

// The usual table in the folder, with the given mode.
std::function<bool(Folder&, std::string&)> table(const std::string& text, mode_t mode = 0644)
{
    return [text, mode](Folder& f, std::string&) {
        f.put("scores.kes", text, mode);
        return true;
    };
}

// The usual table on a small file system of its own, which `then` fills or
// makes read-only.
std::function<bool(Folder&, std::string&)> onSmallFileSystem(bool (Folder::*then)() const)
{
    return [then](Folder& f, std::string& why) {
        why = "cannot mount a small file system here (needs root and mount rights)";
        if (!f.mountSmall())
            return false;
        f.put("scores.kes", TABLE);
        return (f.*then)();
    };
}

// The usual table as another user's, saved here by root.
std::function<bool(Folder&, std::string&)> anotherUsersTable(uid_t owner, gid_t group, mode_t mode)
{
    return [owner, group, mode](Folder& f, std::string& why) {
        why = "only root may save another user's table";
        if (geteuid() != 0)
            return false;
        f.put("scores.kes", TABLE, mode);
        return chown(f.path.c_str(), owner, group) == 0 && chmod(f.path.c_str(), mode) == 0;
    };
}

const FileCase FILE_CASES[] = {
    {"a plain table", table(TABLE), REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"mode 600 is kept", table(TABLE, 0600), REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"another user's table saved by root: owner, group and mode kept", anotherUsersTable(65534, 65534, 0600),
     REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"a table of another user and group saved by root: both kept", anotherUsersTable(1, 65534, 0664),
     REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"a read-only table", table(TABLE, 0444), nullptr, Told::REFUSED, nullptr},
    {"a table with no permission at all, which root reads but the writer refuses",
     [](Folder& f, std::string& why) {
         why = "only root reads a table of mode 000";
         f.put("scores.kes", TABLE, 0);
         return geteuid() == 0;
     },
     nullptr, Told::REFUSED, nullptr},
    {"no table: none is made",
     [](Folder&, std::string&) { return true; }, nullptr, Told::NOT_ASKED, nullptr},
    {"the table a link to a table",
     [](Folder& f, std::string&) {
         f.put("real.kes", TABLE);
         f.link("real.kes", "scores.kes");
         return true;
     },
     nullptr, Told::REFUSED, nullptr},
    {"links at temporary names",
     [](Folder& f, std::string&) {
         f.put("scores.kes", TABLE);
         f.put("victim", "precious\n");
         for (const char* name : {".new", ".tmp", "~", ".XXXXXX"})
             f.link("victim", std::string("scores.kes") + name);
         return true;
     },
     REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"a FIFO at a temporary name",
     [](Folder& f, std::string&) {
         f.put("scores.kes", TABLE);
         return mkfifo((f.path + ".new").c_str(), 0644) == 0;
     },
     REWRITTEN.c_str(), Told::SAVED, ENTERED.c_str()},
    {"the table a FIFO",
     [](Folder& f, std::string&) { return mkfifo(f.path.c_str(), 0644) == 0; }, nullptr, Told::NOT_ASKED, nullptr},
    {"the table a link to /dev/zero",
     [](Folder& f, std::string&) {
         f.link("/dev/zero", "scores.kes");
         return true;
     },
     nullptr, Told::NOT_ASKED, nullptr},
    {"the table a directory",
     [](Folder& f, std::string&) { return mkdir(f.path.c_str(), 0755) == 0; }, nullptr, Told::NOT_ASKED, nullptr},
    {"a full disk", onSmallFileSystem(&Folder::fill), nullptr, Told::NOT_SAVED, nullptr},
    {"a read-only folder", onSmallFileSystem(&Folder::readOnly), nullptr, Told::REFUSED, nullptr},
    {"over the size limit: a long first line", table(std::string(HIGH_SCORE_FILE_MAX_BYTES, 'x') + "\n" + TABLE_ROWS),
     nullptr, Told::NOT_ASKED, nullptr},
    {"over the size limit: long names", table(LONG_NAMES), nullptr, Told::NOT_ASKED, nullptr},
    {"as big as may be: a ranking score is asked no name, and a longer name is no rewrite", table(FULL_SIZE),
     nullptr, Told::NOT_ASKED, nullptr, "kimberly"},
    {"as big as may be: a name that takes no more room is rewritten, but no entry is asked for", table(FULL_SIZE),
     FULL_SIZE_REWRITTEN.c_str(), Told::NOT_ASKED, nullptr},
    {"room for the longest name and not a byte more", table(ROOM_FOR_ANY_NAME),
     ROOM_FOR_ANY_NAME_REWRITTEN.c_str(), Told::SAVED, ROOM_FOR_ANY_NAME_ENTERED.c_str(), "kimberly"},
    {"an unsorted table: the lowest drops", table(UNSORTED),
     "Best\nann\n500\nbob\n9000\nkim\n100\ndee\n7000\neve\n3000\n", Told::SAVED,
     "Best\nann\n500\nbob\n9000\nkim\n8000\ndee\n7000\neve\n3000\n"},
    {"the name ___", table(TABLE), nullptr, Told::STILL_ASKING, nullptr, "___"},
    {"a name in Latin-1", table(LATIN1),
     "Best\nJ\xfcrgen\n9000\nkim\n7000\ncyd\n5000\ndee\n3000\neve\n1000\n", Told::SAVED,
     "Best\nJ\xfcrgen\n9000\nkim\n8000\n___\n7000\ncyd\n5000\ndee\n3000\n", "kim", "J?rgen"},
};

} // namespace

class EndScreenFiles : public EndScreenTest, public ::testing::WithParamInterface<FileCase> {
protected:
    // The end screen after a game of 8000 points, the player typing the
    // row's name and Return.
    void enterThroughTheEndScreen(const std::string& path)
    {
        JustEndedState::path = path;
        justEndedState.setFinalScore(8000);
        endGame(false);
        frame(1100);
        const Told told = GetParam().told;
        EXPECT_EQ(shownOnScreen(justEndedState.promptText), told != Told::NOT_ASKED);
        if (told == Told::REFUSED) {
            // Said before any name is typed, in the prompt's place and look.
            EXPECT_FALSE(nameEntryEnabled);
            EXPECT_EQ(caption(justEndedState.promptText), "Score not saved");
            EXPECT_EQ(topOf(justEndedState.promptText), 50);
            EXPECT_EQ(colourOf(justEndedState.promptText), colourOf(justEndedState.outcomeText));
            EXPECT_FALSE(shownOnScreen(justEndedState.nameText));
        }
        type(GetParam().name);
        if (told == Told::REFUSED) {
            EXPECT_EQ(caption(justEndedState.promptText), "Score not saved");
        }
        press(input::KC_RETURN, '\r');
        frame(1200);
        switch (told) {
        case Told::SAVED:
        case Told::NOT_ASKED:
        case Told::REFUSED:
            EXPECT_EQ(top(), &menuState);
            return;
        case Told::NOT_SAVED:
            ASSERT_EQ(top(), &justEndedState);
            EXPECT_EQ(caption(justEndedState.promptText), "Score not saved");
            EXPECT_TRUE(shownOnScreen(justEndedState.promptText));
            EXPECT_FALSE(shownOnScreen(justEndedState.nameText));
            type("more");
            press(input::KC_RETURN, '\r');
            break;
        case Told::STILL_ASKING:
            ASSERT_EQ(top(), &justEndedState);
            EXPECT_EQ(caption(justEndedState.promptText), "Well played.  Enter your name:");
            EXPECT_EQ(caption(justEndedState.nameText), GetParam().name + "_");
            // Letting the entry go leaves the table as it is.
            for (std::size_t i = 0; i < GetParam().name.size(); ++i)
                press(input::KC_BACK);
            press(input::KC_RETURN, '\r');
            break;
        }
        EXPECT_EQ(top(), &menuState);
    }
};

TEST_P(EndScreenFiles, TheTableIsRewrittenWholeOrLeftAsItWas)
{
    const FileCase& c = GetParam();
    std::string why;
    {
        SCOPED_TRACE("the rewrite");
        Folder f;
        ASSERT_FALSE(f.dir.empty());
        if (!c.make(f, why))
            GTEST_SKIP() << why;
        const auto before = folderSnapshot(f.dir);
        EXPECT_EQ(rewriteHighScores(c.name, f.path), c.afterRewrite != nullptr);
        EXPECT_EQ(folderSnapshot(f.dir), withTable(before, c.afterRewrite));
    }
    {
        SCOPED_TRACE("the end screen");
        Folder f;
        ASSERT_TRUE(c.make(f, why));
        const auto before = folderSnapshot(f.dir);
        enterThroughTheEndScreen(f.path);
        EXPECT_EQ(folderSnapshot(f.dir), withTable(before, c.afterEntry));

        // What the high-score screen makes of the table now.
        HighScoresState::path = f.path;
        game->changeState(&highScoresState);
        if (c.shownFirst) {
            EXPECT_EQ(caption(highScoresState.nameTexts[0]), c.shownFirst);
        }
        game->changeState(&menuState);
        HighScoresState::path = HIGH_SCORE_FILE;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, EndScreenFiles, ::testing::ValuesIn(FILE_CASES));
