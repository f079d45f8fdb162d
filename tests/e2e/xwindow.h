#pragma once
// Finding a window of the X display by its name.
#include <X11/Xlib.h>

#include <cstring>

// The first window under w (w included, depth first) whose name is name;
// 0 when there is none.
inline Window findWindow(Display* d, Window w, const char* name)
{
    char* wname = nullptr;
    if (XFetchName(d, w, &wname) && wname) {
        const bool match = std::strcmp(wname, name) == 0;
        XFree(wname);
        if (match)
            return w;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i)
        found = findWindow(d, children[i], name);
    if (children)
        XFree(children);
    return found;
}
