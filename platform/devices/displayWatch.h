#pragma once
// Losing the display: the X server gone, our connection killed (a forced
// close), or the game window destroyed under us. Xlib's own handlers exit
// from inside whatever call noticed it, which runs the audio library's
// exit-time clean-up under its live threads and aborts. These handlers end
// the program in order instead.
#include <string>

namespace plat {

// Installs the handlers for every display connection of the process.
// beforeExit runs once when the connection is gone for good (it should
// stop the audio), then the process exits with status 1 after one line on
// standard error. Other X errors are remembered, not fatal.
void watchDisplay(void (*beforeExit)());

// While on, a connection lost while the display itself still answers ends
// the program quietly with status 0: a window manager closes a window that
// takes no close requests (the engine's settings dialog) by killing its
// connection, and for that dialog closing is cancelling.
void lostConnectionIsCancel(bool on);

// Whether an X error was seen since watchDisplay, and the first one's text.
bool displayFailed();
std::string displayFailure();

} // namespace plat
