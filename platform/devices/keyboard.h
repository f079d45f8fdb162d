#pragma once
// Keyboard input: key events dispatched to listeners once per frame, and the
// keys' held state polled at any time. Key codes are keyboard scan codes
// (Escape 1, Return 28, space 57, left arrow 203, ...).
#include <cstddef>
#include <memory>
#include <vector>

namespace input {

enum KeyCode {
    KC_ESCAPE = 1,
    KC_BACK = 14,
    KC_O = 24,
    KC_P = 25,
    KC_RETURN = 28,
    KC_COMMA = 51,
    KC_PERIOD = 52,
    KC_SPACE = 57,
    KC_UP = 200,
    KC_LEFT = 203,
    KC_RIGHT = 205,
    KC_DOWN = 208,
};

class KeyEvent {
public:
    KeyEvent(int key, unsigned int character) : key(key), character(character) {}
    int getKey() const { return key; }
    // The character the key typed (0 for keys that type none).
    unsigned int getKeyChar() const { return character; }

private:
    int key;
    unsigned int character;
};

class KeyListener {
public:
    virtual ~KeyListener() = default;
    // A press followed by its release.
    virtual void keyClicked(KeyEvent* e) = 0;
    virtual void keyPressed(KeyEvent* e) = 0;
    virtual void keyReleased(KeyEvent* e) = 0;
    virtual void keyFocusIn(KeyEvent*) {}
    virtual void keyFocusOut(KeyEvent*) {}
};

// Answers whether a key is held right now.
class InputReader {
public:
    virtual ~InputReader() = default;
    virtual bool isKeyDown(int keyCode) const = 0;
};

// Holds the listeners and hands them each event in registration order.
class KeyTarget {
public:
    void addKeyListener(KeyListener* listener);
    void removeKeyListener(KeyListener* listener);

    void firePressed(int key, unsigned int character);
    void fireReleased(int key, unsigned int character);

private:
    std::vector<KeyListener*> listeners;
};

// Where key events and key states come from.
class KeyboardDevice {
public:
    virtual ~KeyboardDevice() = default;
    // Reads what happened since the last call and reports it to the target.
    virtual void capture(KeyTarget& target) = 0;
    virtual InputReader* reader() = 0;
};

// The X11 keyboard of a window (by its X window id), read through OIS.
std::unique_ptr<KeyboardDevice> openWindowKeyboard(std::size_t windowHandle);

class EventProcessor {
public:
    EventProcessor() = default;
    ~EventProcessor();

    // Reads the keyboard of the given window.
    void initialise(std::size_t windowHandle);
    // Reads the given device instead (tests).
    void initialise(std::unique_ptr<KeyboardDevice> device);

    // Whether the owner should call processEvents once per frame.
    void startProcessingEvents(bool processEvents) { processing = processEvents; }
    bool isProcessingEvents() const { return processing; }

    // Reads the keyboard and dispatches its events; does nothing until
    // initialised and started.
    void processEvents();

    InputReader* getInputReader();
    KeyTarget* getKeyTarget() { return &target; }

private:
    std::unique_ptr<KeyboardDevice> device;
    KeyTarget target;
    bool processing = false;
};

} // namespace input
