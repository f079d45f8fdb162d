#pragma once
// The one application object: starts the engine from its configuration
// files, keeps the stack of screens and hands every frame and key event to
// the screen on top.
#include <Bites/OgreWindowEventUtilities.h>
#include <OgreFrameListener.h>
#include <OgreSingleton.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/FramePacer.h"
#include "platform/devices/closeButton.h"
#include "platform/devices/keyboard.h"

namespace Ogre {
class Root;
class RenderWindow;
class OverlaySystem;
class LogListener;
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

    // Exits every screen and releases the engine. The destructor does it
    // too, but cannot pass on a failure: call this first to see one.
    void shutdown();

    // Whether the render loop ended because the window or the display was
    // lost, and how.
    bool lostDisplay() const;
    std::string lossReason() const;

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
    void openLog();
    // Whether the window's close button was pressed, or the window or the
    // display was lost: the render loop then ends after this frame.
    bool mustStop();

    // The window's loss (destroyed by another client), from its events.
    class WindowWatch : public OgreBites::WindowEventListener {
    public:
        bool windowClosing(Ogre::RenderWindow*) override { return false; }
        void windowClosed(Ogre::RenderWindow*) override { lost = true; }
        bool lost = false;
    };

    Ogre::LogManager* logManager = nullptr;
    // Writes the engine log's file; goes after the log manager.
    std::unique_ptr<Ogre::LogListener> logFile;
    WindowWatch windowWatch;
    bool watchingWindow = false;
    std::unique_ptr<plat::CloseButton> closeButton;
    bool closeRequested = false;
};
