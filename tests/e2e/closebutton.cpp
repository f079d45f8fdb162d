// Presses a window's close button the way a window manager does: sends the
// first window with the given name a WM_DELETE_WINDOW message. Exit status
// 2 when no such window exists, 3 when it does not take the message.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "xwindow.h"

#include <cstdio>
#include <cstring>

namespace {

bool takesDelete(Display* d, Window w, Atom deleteWindow)
{
    Atom* protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(d, w, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            found = found || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: closebutton WINDOW-NAME\n");
        return 1;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    const Window w = findWindow(d, DefaultRootWindow(d), argv[1]);
    if (!w) {
        XCloseDisplay(d);
        return 2;
    }
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    if (!takesDelete(d, w, deleteWindow)) {
        XCloseDisplay(d);
        return 3;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(deleteWindow);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
