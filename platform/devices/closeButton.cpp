#include "platform/devices/closeButton.h"

#include <X11/Xlib.h>

namespace plat {

CloseButton::CloseButton(void* d, unsigned long w) : display(d), window(w)
{
    auto* x = static_cast<Display*>(display);
    protocols = XInternAtom(x, "WM_PROTOCOLS", False);
    deleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
    Atom atom = deleteWindow;
    XSetWMProtocols(x, window, &atom, 1);
    XFlush(x);
}

bool CloseButton::pressed()
{
    auto* x = static_cast<Display*>(display);
    bool closing = false;
    XEvent event;
    while (XCheckTypedWindowEvent(x, window, ClientMessage, &event))
        if (event.xclient.message_type == protocols && event.xclient.format == 32
            && static_cast<unsigned long>(event.xclient.data.l[0]) == deleteWindow)
            closing = true;
    return closing;
}

} // namespace plat
