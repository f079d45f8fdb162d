// Program entry: runs the game manager and reports any failure that escapes
// it in the fatal error box, with a non-zero exit status.
#include <OgreException.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/GameManager.h"
#include "app/SoundManager.h"
#include "platform/devices/errorBox.h"

namespace {

const char* const ERROR_CAPTION = "An exception has occured!";

[[noreturn]] void onTerminate()
{
    std::fputs("Tessaline: unhandled failure, terminating.\n", stderr);
    std::abort();
}

} // namespace

int main()
{
    auto* manager = new GameManager();
    std::set_terminate(onTerminate);
    int status = 0;
    try {
        manager->start();
    } catch (const Ogre::Exception& e) {
        plat::showErrorBox(ERROR_CAPTION, e.getFullDescription());
        status = 1;
    } catch (const std::exception& e) {
        plat::showErrorBox(ERROR_CAPTION, e.what());
        status = 1;
    }
    // Every screen on the stack is still exited, also after a failure.
    try {
        delete manager;
        SoundManager::shutdown();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Tessaline: failure while shutting down: %s\n", e.what());
        status = 1;
    }
    return status;
}
