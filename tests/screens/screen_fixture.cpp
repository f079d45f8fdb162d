#include "tests/screens/screen_fixture.h"

#include "app/NodePool.h"
#include "app/SoundManager.h"
#include "figures/FigureTable.h"
#include "model/ModelManager.h"

#include <Ogre.h>
#include <Overlay/OgreFontManager.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {
const char* const PLUGINS = "/usr/lib/x86_64-linux-gnu/OGRE";
}

void ScreenTest::start(unsigned width, unsigned height)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    if (!Ogre::LogManager::getSingletonPtr())
        (new Ogre::LogManager())->createLog("screens-test.log", true, false, true);
    char here[PATH_MAX];
    if (getcwd(here, sizeof here))
        oldFolder = here;
    ASSERT_EQ(chdir(TESS_RUN_DIR), 0);
    game = new GameManager();
    game->root = new Ogre::Root("", "", "");
    Ogre::Root* root = game->root;
    root->loadPlugin(std::string(PLUGINS) + "/RenderSystem_GL");
    root->loadPlugin(std::string(PLUGINS) + "/Codec_STBI");
    Ogre::RenderSystem* rs = root->getRenderSystemByName("OpenGL Rendering Subsystem");
    ASSERT_TRUE(rs);
    rs->setConfigOption("Full Screen", "No");
    rs->setConfigOption("Video Mode", std::to_string(width) + " x " + std::to_string(height));
    root->setRenderSystem(rs);
    game->overlaySystem = new Ogre::OverlaySystem();
    game->window = root->initialise(true, "Tessaline screens");
    game->window->resize(width, height);

    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation("./fonts", "FileSystem", "General", false);
    groups.initialiseAllResourceGroups();
    auto font = Ogre::FontManager::getSingleton().create("MyFont", "General");
    font->setParameter("type", "truetype");
    font->setParameter("source", "solo5.ttf");
    font->setParameter("size", "26");
    font->setParameter("resolution", "96");
    font->load();
    font.reset();
    ModelManager::useFigureTable(&gameFigureTable());
}

void ScreenTest::TearDown()
{
    // The game manager exits every screen on its stack and shuts the engine.
    delete game;
    game = nullptr;
    ModelManager::useFigureTable(nullptr);
    if (!oldFolder.empty())
        (void)chdir(oldFolder.c_str());
}

bool ScreenTest::frameStart(long nowMs)
{
    clock.set(nowMs);
    Ogre::FrameEvent evt{};
    bool go = game->frameStarted(evt);
    // The engine fires no listeners of its own here: the manager is the
    // engine's frame listener only in the game.
    game->root->renderOneFrame();
    return go;
}

bool ScreenTest::frameEnd()
{
    Ogre::FrameEvent evt{};
    return game->frameEnded(evt);
}

bool ScreenTest::frame(long nowMs)
{
    bool go = frameStart(nowMs);
    return frameEnd() && go;
}

void ScreenTest::press(int key, unsigned character)
{
    input::KeyEvent e(key, character);
    game->keyPressed(&e);
}

Ogre::OverlayElement* ScreenTest::element(const TextItem* item)
{
    return Ogre::OverlayManager::getSingleton().getOverlayElement(item->elementName());
}

std::string ScreenTest::caption(const TextItem* item) { return element(item)->getCaption(); }
Ogre::ColourValue ScreenTest::colourOf(const TextItem* item) { return element(item)->getColour(); }
float ScreenTest::leftOf(const TextItem* item) { return element(item)->getLeft(); }
float ScreenTest::topOf(const TextItem* item) { return element(item)->getTop(); }
bool ScreenTest::shownOnScreen(const TextItem* item) { return item->isShown() && element(item)->isVisible(); }

namespace {

// The menu's first entry makes the sound manager; its audio threads must be
// gone before the process's own exit-time clean-up.
class SoundShutdown : public ::testing::Environment {
public:
    void TearDown() override { SoundManager::shutdown(); }
};

::testing::Environment* const soundShutdown = ::testing::AddGlobalTestEnvironment(new SoundShutdown);

} // namespace
