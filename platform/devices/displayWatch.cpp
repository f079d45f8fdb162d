#include "platform/devices/displayWatch.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace plat {
namespace {

void (*cleanUp)() = nullptr;
std::atomic<bool> failed{false};
bool cancelOnLoss = false;
char failure[256] = "";

int onIoError(Display*)
{
    if (cancelOnLoss) {
        if (Display* probe = XOpenDisplay(nullptr)) {
            XCloseDisplay(probe);
            if (auto* f = cleanUp) {
                cleanUp = nullptr;
                f();
            }
            ::_exit(0);
        }
    }
    std::fputs("Tessaline: lost the connection to the display; quitting.\n", stderr);
    std::fflush(stderr);
    // The connection cannot be used again and Xlib would exit on return:
    // stop what runs on other threads, then leave without exit-time
    // destructors, which would touch the dead display and the audio.
    if (auto* f = cleanUp) {
        cleanUp = nullptr;
        f();
    }
    ::_exit(1);
}

int onError(Display* display, XErrorEvent* event)
{
    if (!failed.exchange(true)) {
        char text[160] = "";
        XGetErrorText(display, event->error_code, text, sizeof text);
        std::snprintf(failure, sizeof failure, "%s (request %d.%d)", text,
                      static_cast<int>(event->request_code), static_cast<int>(event->minor_code));
    }
    return 0;
}

} // namespace

void watchDisplay(void (*beforeExit)())
{
    cleanUp = beforeExit;
    XSetIOErrorHandler(onIoError);
    XSetErrorHandler(onError);
}

void lostConnectionIsCancel(bool on) { cancelOnLoss = on; }

bool displayFailed() { return failed.load(); }

std::string displayFailure() { return failure; }

} // namespace plat
