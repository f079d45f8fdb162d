#include "platform/devices/errorBox.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

namespace plat {
namespace {

std::vector<std::string> splitLines(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Long engine descriptions are wrapped rather than cut off.
        while (line.size() > width) {
            std::size_t cut = line.rfind(' ', width);
            if (cut == std::string::npos || cut == 0)
                cut = width;
            lines.push_back(line.substr(0, cut));
            line.erase(0, cut == width ? cut : cut + 1);
        }
        lines.push_back(line);
    }
    if (lines.empty())
        lines.emplace_back();
    return lines;
}

void runBox(Display* display, const std::string& caption, const std::string& text)
{
    const int screen = DefaultScreen(display);
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    const int charWidth = font ? font->max_bounds.width : 6;
    const int lineHeight = font ? font->ascent + font->descent + 2 : 15;
    const int ascent = font ? font->ascent : 11;

    const std::vector<std::string> lines = splitLines(text, 90);
    std::size_t longest = caption.size();
    for (const auto& l : lines)
        longest = std::max(longest, l.size());

    const int margin = 16;
    const int buttonW = 80, buttonH = 26;
    const int width = std::max(240, static_cast<int>(longest) * charWidth + 2 * margin);
    const int height = static_cast<int>(lines.size()) * lineHeight + 3 * margin + buttonH;
    const int buttonX = (width - buttonW) / 2, buttonY = height - margin - buttonH;

    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 100, 100, width, height, 1,
                                        BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, caption.c_str());
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapRaised(display, window);

    GC gc = XCreateGC(display, window, 0, nullptr);
    if (font)
        XSetFont(display, gc, font->fid);
    XSetForeground(display, gc, BlackPixel(display, screen));

    bool done = false;
    while (!done) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {
                for (std::size_t i = 0; i < lines.size(); ++i)
                    XDrawString(display, window, gc, margin, margin + ascent + static_cast<int>(i) * lineHeight,
                                lines[i].c_str(), static_cast<int>(lines[i].size()));
                XDrawRectangle(display, window, gc, buttonX, buttonY, buttonW, buttonH);
                XDrawString(display, window, gc, buttonX + (buttonW - 2 * charWidth) / 2,
                            buttonY + (buttonH + ascent) / 2 - 1, "OK", 2);
            }
            break;
        case ButtonPress:
            if (event.xbutton.x >= buttonX && event.xbutton.x < buttonX + buttonW && event.xbutton.y >= buttonY &&
                event.xbutton.y < buttonY + buttonH)
                done = true;
            break;
        case KeyPress: {
            KeySym sym = XLookupKeysym(&event.xkey, 0);
            if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space)
                done = true;
            break;
        }
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
                done = true;
            break;
        default:
            break;
        }
    }
    XFreeGC(display, gc);
    if (font)
        XFreeFont(display, font);
    XDestroyWindow(display, window);
    XFlush(display);
}

} // namespace

void showErrorBox(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    runBox(display, caption, text);
    XCloseDisplay(display);
}

} // namespace plat
