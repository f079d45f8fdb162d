#include "app/GameManager.h"

#include <Bites/OgreBitesConfigDialog.h>
#include <Ogre.h>
#include <Overlay/OgreFontManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include "app/EngineFiles.h"
#include "app/GameState.h"
#include "app/InputManager.h"
#include "app/NodePool.h"
#include "app/Screens.h"
#include "figures/FigureTable.h"
#include "model/ModelManager.h"
#include "platform/clock.h"
#include "platform/devices/displayWatch.h"
#include "platform/devices/fontLocation.h"
#include "platform/random.h"
#include "platform/regularFile.h"

#include <cstdio>
#include <utility>

template <> GameManager* Ogre::Singleton<GameManager>::msSingleton = nullptr;

GameManager& GameManager::getSingleton() { return *msSingleton; }
GameManager* GameManager::getSingletonPtr() { return msSingleton; }

GameManager::GameManager() = default;

GameManager::~GameManager()
{
    // A destructor cannot pass a failure on; shutdown() called before it
    // can. Here the rest is released as far as it goes.
    try {
        shutdown();
    } catch (...) {
        try {
            shutdown();
        } catch (...) {
        }
    }
}

void GameManager::shutdown()
{
    // Each step forgets what it releases first, so a second call after a
    // failure goes on with the rest.
    while (!states.empty()) {
        struct PopAfterExit {
            std::vector<GameState*>& stack;
            ~PopAfterExit() { stack.pop_back(); }
        } pop{states};
        states.back()->exit();
    }
    if (watchingWindow) {
        watchingWindow = false;
        OgreBites::WindowEventUtilities::removeWindowEventListener(window, &windowWatch);
        OgreBites::WindowEventUtilities::_removeRenderWindow(window);
    }
    closeButton.reset();
    delete std::exchange(inputManager, nullptr);
    // Overlays go before the engine root, and the log after it.
    delete std::exchange(overlaySystem, nullptr);
    delete std::exchange(root, nullptr);
    window = nullptr;
    delete std::exchange(logManager, nullptr);
    logFile.reset();
    delete std::exchange(nodePool, nullptr);
}

bool GameManager::lostDisplay() const { return windowWatch.lost || plat::displayFailed(); }

std::string GameManager::lossReason() const
{
    if (windowWatch.lost)
        return "the game window was destroyed";
    return "X error: " + plat::displayFailure();
}

bool GameManager::mustStop()
{
    if (closeButton && closeButton->pressed())
        closeRequested = true;
    if (watchingWindow)
        OgreBites::WindowEventUtilities::messagePump();
    return closeRequested || lostDisplay();
}

std::vector<ResourceLocation> resourceLocations(Ogre::ConfigFile& file)
{
    std::vector<ResourceLocation> out;
    // The engine keeps sections in a map by name and each section's
    // settings in a multimap by key: that is the walk order.
    for (const auto& section : file.getSettingsBySection())
        for (const auto& setting : section.second)
            out.push_back({section.first, setting.first, setting.second});
    return out;
}

void GameManager::openLog()
{
    logManager = new Ogre::LogManager();
    // The engine's log goes to its file only, not to the terminal, and
    // never through a link or into something that is not a file (a FIFO
    // would block the start).
    logFile = openEngineLog(*logManager);
    if (!logFile)
        std::fprintf(stderr, "Tessaline: the engine log %s cannot be written; playing without it.\n",
                     ENGINE_LOG_FILE);
}

void GameManager::start()
{
    openLog();
    // The engine reads neither the plug-in list nor the settings itself:
    // both are read here, refusing anything but regular files, and the
    // settings are saved so that a failed save costs nothing.
    root = new Ogre::Root("", "", ENGINE_LOG_FILE);
    loadPlugins(*root);
    overlaySystem = new Ogre::OverlaySystem();

    plat::srand(static_cast<unsigned>(plat::time()));
    ModelManager::useFigureTable(&gameFigureTable());

    if (!configure())
        return;
    setupResources();
    root->addFrameListener(this);
    changeState(&loadState);
    inputManager = new InputManager(root->getAutoCreatedWindow());
    inputManager->eventProcessor->getKeyTarget()->addKeyListener(this);
    changeState(&menuState);
    root->startRendering();
}

bool GameManager::configure()
{
    // Without saved settings the dialog starts on the first render system,
    // so that Accept works at once.
    if (!restoreSettings(*root)) {
        for (Ogre::RenderSystem* system : root->getAvailableRenderers())
            repairVideoMode(*system);
        root->setRenderSystem(root->getAvailableRenderers().front());
    }
    plat::lostConnectionIsCancel(true);
    const bool accepted = root->showConfigDialog(OgreBites::getNativeConfigDialog());
    plat::lostConnectionIsCancel(false);
    if (!accepted)
        return false;
    std::string reason;
    if (!saveSettings(*root, reason))
        std::fprintf(stderr, "Tessaline: the settings could not be saved to %s (%s); playing with them anyway.\n",
                     SETTINGS_FILE, reason.c_str());
    window = root->initialise(true, "Tessaline");
    // The close button and the window's loss arrive as window events.
    OgreBites::WindowEventUtilities::_addRenderWindow(window);
    OgreBites::WindowEventUtilities::addWindowEventListener(window, &windowWatch);
    watchingWindow = true;
    void* display = nullptr;
    unsigned long id = 0;
    window->getCustomAttribute("XDISPLAY", &display);
    window->getCustomAttribute("WINDOW", &id);
    if (display && id)
        closeButton = std::make_unique<plat::CloseButton>(display, id);
    return true;
}

void GameManager::setupResources()
{
    Ogre::ConfigFile file;
    loadConfigFile(file, "resources.cfg", "\t:=", true);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& r : resourceLocations(file))
        groups.addResourceLocation(r.location, r.type, r.group, false);

    groups.addResourceLocation(plat::fontFolder(), "FileSystem",
                               Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, false);
    // The engine would open a FIFO there and wait for a writer forever.
    const std::string fontFile = std::string(plat::fontFolder()) + "/solo5.ttf";
    if (plat::fileKind(fontFile) == plat::FileKind::Other)
        OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "'" + fontFile + "' is not a regular file",
                    "GameManager::setupResources");
    auto& fonts = Ogre::FontManager::getSingleton();
    fonts.create("MyFont", "General");
    fonts.getByName("MyFont", "General")->setParameter("type", "truetype");
    fonts.getByName("MyFont", "General")->setParameter("source", "solo5.ttf");
    fonts.getByName("MyFont", "General")->setParameter("size", "26");
    fonts.getByName("MyFont", "General")->setParameter("resolution", "96");
    fonts.getByName("MyFont", "General")->load();
}

void GameManager::changeState(GameState* state)
{
    if (!states.empty()) {
        states.back()->exit();
        states.pop_back();
    }
    states.push_back(state);
    state->enter();
}

void GameManager::pushState(GameState* state)
{
    if (!states.empty())
        states.back()->pause();
    states.push_back(state);
    state->enter();
}

void GameManager::popState()
{
    if (!states.empty()) {
        states.back()->exit();
        states.pop_back();
    }
    if (!states.empty())
        states.back()->resume();
}

// Events with an empty stack cannot happen while the engine runs; they are
// dropped rather than dereferencing nothing. The close button ends the
// render loop on every screen, as Escape does on the menu.
bool GameManager::frameStarted(const Ogre::FrameEvent& evt)
{
    if (mustStop())
        return false;
    return states.empty() ? true : states.back()->frameStarted(evt);
}

bool GameManager::frameEnded(const Ogre::FrameEvent& evt)
{
    const bool keepGoing = states.empty() ? true : states.back()->frameEnded(evt);
    if (keepGoing)
        pacer.frameFinished();
    return keepGoing && !mustStop();
}

void GameManager::keyClicked(input::KeyEvent* e)
{
    if (!states.empty())
        states.back()->keyClicked(e);
}

void GameManager::keyPressed(input::KeyEvent* e)
{
    if (!states.empty())
        states.back()->keyPressed(e);
}

void GameManager::keyReleased(input::KeyEvent* e)
{
    if (!states.empty())
        states.back()->keyReleased(e);
}
