#include "platform/devices/keyboard.h"

#include <algorithm>

namespace input {

void KeyTarget::addKeyListener(KeyListener* listener)
{
    if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void KeyTarget::removeKeyListener(KeyListener* listener)
{
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void KeyTarget::firePressed(int key, unsigned int character)
{
    KeyEvent e(key, character);
    // A listener may change screens, never the listener list itself; still,
    // index so that an addition during dispatch cannot invalidate iteration.
    for (std::size_t i = 0; i < listeners.size(); ++i)
        listeners[i]->keyPressed(&e);
}

void KeyTarget::fireReleased(int key, unsigned int character)
{
    KeyEvent e(key, character);
    for (std::size_t i = 0; i < listeners.size(); ++i)
        listeners[i]->keyReleased(&e);
    for (std::size_t i = 0; i < listeners.size(); ++i)
        listeners[i]->keyClicked(&e);
}

EventProcessor::~EventProcessor() = default;

void EventProcessor::initialise(std::size_t windowHandle) { device = openWindowKeyboard(windowHandle); }

void EventProcessor::initialise(std::unique_ptr<KeyboardDevice> d) { device = std::move(d); }

void EventProcessor::processEvents()
{
    if (device && processing)
        device->capture(target);
}

InputReader* EventProcessor::getInputReader() { return device ? device->reader() : nullptr; }

} // namespace input
