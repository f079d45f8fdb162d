#pragma once
// The engine's log for the headless engine tests. The engine allows one log
// manager a process: whichever test comes first makes it (writing to a file
// only), and every later one takes that, so the tests of one executable also
// run together in one process.
#include <OgreLog.h>
#include <OgreLogManager.h>

inline Ogre::LogManager& testLogManager()
{
    if (Ogre::LogManager* existing = Ogre::LogManager::getSingletonPtr())
        return *existing;
    auto* manager = new Ogre::LogManager();
    manager->createLog("engine-tests.log", true, false, true);
    return *manager;
}
