#pragma once
// The close button of a window the engine made. The engine announces the
// wrong protocol on its windows, so a window manager would kill the game's
// connection instead of asking it to close; this announces WM_DELETE_WINDOW
// and reports the requests.
namespace plat {

class CloseButton {
public:
    // display and window are the X display connection and window id the
    // window was created with.
    CloseButton(void* display, unsigned long window);

    // Whether the close button was pressed since the last call. Takes the
    // window's client messages off the queue.
    bool pressed();

private:
    void* display;
    unsigned long window;
    unsigned long protocols;
    unsigned long deleteWindow;
};

} // namespace plat
