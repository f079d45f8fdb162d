#pragma once
// A screen of the game. Each screen is one static object; the game manager
// keeps a stack of them and hands the top one every frame and key event.
#include "platform/devices/keyboard.h"

namespace Ogre {
struct FrameEvent;
}

using input::KeyEvent;

class GameState {
public:
    virtual void enter() = 0;
    virtual void exit() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void keyClicked(KeyEvent* e) = 0;
    virtual void keyPressed(KeyEvent* e) = 0;
    virtual void keyReleased(KeyEvent* e) = 0;
    // false ends the render loop.
    virtual bool frameStarted(const Ogre::FrameEvent& evt) = 0;
    virtual bool frameEnded(const Ogre::FrameEvent& evt) = 0;

protected:
    ~GameState() = default;
};

// The shared bodies for what a screen does not do itself: nothing on exit,
// pause and resume, keys ignored, and rendering kept going.
class DefaultGameState : public GameState {
public:
    void exit() override {}
    void pause() override {}
    void resume() override {}
    void keyClicked(KeyEvent*) override {}
    void keyPressed(KeyEvent*) override {}
    void keyReleased(KeyEvent*) override {}
    bool frameStarted(const Ogre::FrameEvent&) override { return true; }
    bool frameEnded(const Ogre::FrameEvent&) override { return true; }

protected:
    ~DefaultGameState() = default;
};
