// The window's keyboard through OIS, without grabbing: the game must not take
// the keyboard or the pointer away from the desktop.
#include "platform/devices/keyboard.h"

#include <OIS/OIS.h>

#include <string>

namespace input {
namespace {

class OisKeyboard : public KeyboardDevice, public InputReader, public OIS::KeyListener {
public:
    explicit OisKeyboard(std::size_t windowHandle)
    {
        OIS::ParamList params;
        params.insert({"WINDOW", std::to_string(windowHandle)});
        params.insert({"x11_keyboard_grab", "false"});
        params.insert({"x11_mouse_grab", "false"});
        params.insert({"x11_mouse_hide", "false"});
        system = OIS::InputManager::createInputSystem(params);
        // A constructor that throws runs no destructor: the input system
        // is given back here or it leaks.
        try {
            keyboard = static_cast<OIS::Keyboard*>(system->createInputObject(OIS::OISKeyboard, true));
        } catch (...) {
            OIS::InputManager::destroyInputSystem(system);
            throw;
        }
        keyboard->setEventCallback(this);
    }

    ~OisKeyboard() override
    {
        if (keyboard)
            system->destroyInputObject(keyboard);
        OIS::InputManager::destroyInputSystem(system);
    }

    void capture(KeyTarget& t) override
    {
        target = &t;
        keyboard->capture();
        target = nullptr;
    }

    InputReader* reader() override { return this; }

    bool isKeyDown(int keyCode) const override
    {
        return keyboard->isKeyDown(static_cast<OIS::KeyCode>(keyCode));
    }

    bool keyPressed(const OIS::KeyEvent& e) override
    {
        if (target)
            target->firePressed(e.key, e.text);
        return true;
    }

    bool keyReleased(const OIS::KeyEvent& e) override
    {
        if (target)
            target->fireReleased(e.key, e.text);
        return true;
    }

private:
    OIS::InputManager* system = nullptr;
    OIS::Keyboard* keyboard = nullptr;
    KeyTarget* target = nullptr;
};

} // namespace

std::unique_ptr<KeyboardDevice> openWindowKeyboard(std::size_t windowHandle)
{
    return std::make_unique<OisKeyboard>(windowHandle);
}

} // namespace input
