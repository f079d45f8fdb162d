#pragma once
// The one application object: starts the engine from its configuration
// files, keeps the stack of screens and hands every frame and key event to
// the screen on top.
#include <OgreFrameListener.h>
#include <OgreSingleton.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/FramePacer.h"
#include "platform/devices/keyboard.h"

namespace Ogre {
class Root;
class RenderWindow;
class OverlaySystem;
class LogManager;
class ConfigFile;
} // namespace Ogre

class GameState;
class InputManager;

// One resource location read from the resource list, in the order the
// engine's configuration file walks it.
struct ResourceLocation {
    std::string group;
    std::string type;
    std::string location;
    bool operator==(const ResourceLocation& o) const
    {
        return std::tie(group, type, location) == std::tie(o.group, o.type, o.location);
    }
};

// Sections by name, settings by key, equal keys in file order.
std::vector<ResourceLocation> resourceLocations(Ogre::ConfigFile& file);

class GameManager : public Ogre::FrameListener,
                    public input::KeyListener,
                    public Ogre::Singleton<GameManager> {
public:
    GameManager();
    ~GameManager() override;

    // Start-up and the render loop; returns when the loop ends or the
    // configuration dialog is cancelled.
    void start();

    void changeState(GameState* state);
    void pushState(GameState* state);
    void popState();

    bool frameStarted(const Ogre::FrameEvent& evt) override;
    bool frameEnded(const Ogre::FrameEvent& evt) override;

    void keyClicked(input::KeyEvent* e) override;
    void keyPressed(input::KeyEvent* e) override;
    void keyReleased(input::KeyEvent* e) override;

    Ogre::Root* root = nullptr;
    Ogre::RenderWindow* window = nullptr;
    InputManager* inputManager = nullptr;
    std::vector<GameState*> states;

    // Overlay text needs the engine's overlay system on every scene that
    // shows text; screens add it as a render-queue listener.
    Ogre::OverlaySystem* overlaySystem = nullptr;

    // Caps the render loop at the display's rate; a benchmark that drives
    // the screens itself sets the rate to 0 to run uncapped.
    FramePacer pacer;

    static GameManager& getSingleton();
    static GameManager* getSingletonPtr();

private:
    bool configure();
    void setupResources();

    Ogre::LogManager* logManager = nullptr;
};
