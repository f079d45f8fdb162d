#include "app/GameManager.h"

#include <Bites/OgreBitesConfigDialog.h>
#include <Ogre.h>
#include <Overlay/OgreFontManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include "app/GameState.h"
#include "app/InputManager.h"
#include "app/NodePool.h"
#include "app/Screens.h"
#include "figures/FigureTable.h"
#include "model/ModelManager.h"
#include "platform/clock.h"
#include "platform/devices/fontLocation.h"
#include "platform/random.h"

template <> GameManager* Ogre::Singleton<GameManager>::msSingleton = nullptr;

GameManager& GameManager::getSingleton() { return *msSingleton; }
GameManager* GameManager::getSingletonPtr() { return msSingleton; }

GameManager::GameManager() = default;

GameManager::~GameManager()
{
    while (!states.empty()) {
        states.back()->exit();
        states.pop_back();
    }
    delete inputManager;
    inputManager = nullptr;
    // Overlays go before the engine root, and the log after it.
    delete overlaySystem;
    overlaySystem = nullptr;
    delete root;
    root = nullptr;
    delete logManager;
    logManager = nullptr;
    delete nodePool;
    nodePool = nullptr;
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

void GameManager::start()
{
    logManager = new Ogre::LogManager();
    // The engine's log goes to its file only, not to the terminal.
    logManager->createLog("Ogre.log", true, false, false);
    root = new Ogre::Root("plugins.cfg", "ogre.cfg", "Ogre.log");
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
    if (!root->showConfigDialog(OgreBites::getNativeConfigDialog()))
        return false;
    window = root->initialise(true, "Tessaline");
    return true;
}

void GameManager::setupResources()
{
    Ogre::ConfigFile file;
    file.load("resources.cfg", "\t:=", true);
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const auto& r : resourceLocations(file))
        groups.addResourceLocation(r.location, r.type, r.group, false);

    groups.addResourceLocation(plat::fontFolder(), "FileSystem",
                               Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, false);
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
// dropped rather than dereferencing nothing.
bool GameManager::frameStarted(const Ogre::FrameEvent& evt)
{
    return states.empty() ? true : states.back()->frameStarted(evt);
}

bool GameManager::frameEnded(const Ogre::FrameEvent& evt)
{
    const bool keepRendering = states.empty() ? true : states.back()->frameEnded(evt);
    if (keepRendering)
        pacer.frameFinished();
    return keepRendering;
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
