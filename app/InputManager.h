#pragma once
// Owns the keyboard's event processor for the game window and pumps it once
// per frame, from inside the engine's frame processing.
#include <OgreFrameListener.h>
#include <OgreSingleton.h>

#include "platform/devices/keyboard.h"

namespace Ogre {
class RenderWindow;
}

class InputManager : public Ogre::Singleton<InputManager> {
public:
    explicit InputManager(Ogre::RenderWindow* window);
    // For tests: reads the given keyboard instead of a window's.
    explicit InputManager(std::unique_ptr<input::KeyboardDevice> device);
    virtual ~InputManager();

    input::EventProcessor* eventProcessor = nullptr;
    input::InputReader* reader = nullptr;

    static InputManager& getSingleton();
    static InputManager* getSingletonPtr();

private:
    // Reads and dispatches the keyboard at the start of every frame.
    class FramePump : public Ogre::FrameListener {
    public:
        explicit FramePump(input::EventProcessor* p) : processor(p) {}
        bool frameStarted(const Ogre::FrameEvent&) override
        {
            processor->processEvents();
            return true;
        }

    private:
        input::EventProcessor* processor;
    };

    FramePump* pump = nullptr;
    bool pumpRegistered = false;
};
