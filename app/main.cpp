// Program entry: runs the game manager and reports any failure that escapes
// it in the fatal error box, with a non-zero exit status.
#include <OgreException.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "app/GameManager.h"
#include "app/SoundManager.h"
#include "platform/devices/displayWatch.h"
#include "platform/devices/errorBox.h"
#include "platform/regularFile.h"

namespace {

const char* const ERROR_CAPTION = "An exception has occured!";

[[noreturn]] void onTerminate()
{
    std::fputs("Tessaline: unhandled failure, terminating.\n", stderr);
    std::abort();
}

// The game's files (engine configuration, media, font, scores) live beside
// the executable, wherever it was started from.
void enterGameFolder()
{
    const std::string folder = plat::executableFolder();
    if (folder.empty() || ::chdir(folder.c_str()) != 0)
        std::fprintf(stderr, "Tessaline: cannot enter the game's folder %s (%s); looking in the current one.\n",
                     folder.c_str(), std::strerror(errno));
}

} // namespace

int main()
{
    enterGameFolder();
    // A lost display ends the game here, with the audio stopped first.
    plat::watchDisplay(SoundManager::shutdown);
    auto* manager = new GameManager();
    std::set_terminate(onTerminate);
    int status = 0;
    try {
        manager->start();
        if (manager->lostDisplay()) {
            std::fprintf(stderr, "Tessaline: lost the display (%s); quitting.\n", manager->lossReason().c_str());
            status = 1;
        }
    } catch (const Ogre::Exception& e) {
        // The plain description: the full one also names where it was
        // thrown, from data of a plug-in that may be gone by now.
        plat::showErrorBox(ERROR_CAPTION, e.getDescription());
        status = 1;
    } catch (const std::exception& e) {
        plat::showErrorBox(ERROR_CAPTION, e.what());
        status = 1;
    }
    // Every screen on the stack is still exited, also after a failure.
    try {
        manager->shutdown();
    } catch (const Ogre::Exception& e) {
        std::fprintf(stderr, "Tessaline: failure while shutting down: %s\n", e.getDescription().c_str());
        status = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Tessaline: failure while shutting down: %s\n", e.what());
        status = 1;
    }
    delete manager;
    SoundManager::shutdown();
    return status;
}
