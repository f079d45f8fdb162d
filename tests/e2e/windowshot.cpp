// Looks at what a window shows: finds the first window whose name matches,
// grabs its contents, optionally writes them as a PPM picture, and prints
// "<distinct colours> <share of pixels differing from the corner pixel>".
// Exit status 2 when no such window exists.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "xwindow.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: windowshot NAME [out.ppm]\n");
        return 1;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "windowshot: no display\n");
        return 1;
    }
    Window w = findWindow(d, DefaultRootWindow(d), argv[1]);
    if (!w) {
        std::fprintf(stderr, "windowshot: no window named %s\n", argv[1]);
        return 2;
    }
    XWindowAttributes a;
    XGetWindowAttributes(d, w, &a);
    XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img) {
        std::fprintf(stderr, "windowshot: cannot read the window\n");
        return 1;
    }
    std::set<unsigned long> colours;
    const unsigned long corner = XGetPixel(img, 0, 0);
    long differing = 0;
    FILE* out = argc > 2 ? std::fopen(argv[2], "wb") : nullptr;
    if (out)
        std::fprintf(out, "P6\n%d %d\n255\n", a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            colours.insert(p);
            if (p != corner)
                ++differing;
            if (out) {
                unsigned char rgb[3] = {static_cast<unsigned char>((p >> 16) & 0xFF),
                                        static_cast<unsigned char>((p >> 8) & 0xFF),
                                        static_cast<unsigned char>(p & 0xFF)};
                std::fwrite(rgb, 1, 3, out);
            }
        }
    if (out)
        std::fclose(out);
    std::printf("%zu %.4f\n", colours.size(), static_cast<double>(differing) / (a.width * a.height));
    XDestroyImage(img);
    XCloseDisplay(d);
    return 0;
}
