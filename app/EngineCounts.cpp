#include "app/EngineCounts.h"

#include <Ogre.h>

std::string engineCounts()
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    size_t managers = 0, entities = 0;
    for (const auto& entry : root->getSceneManagers()) {
        ++managers;
        entities += entry.second->getMovableObjects("Entity").size();
    }
    size_t meshes = 0;
    for (auto it = Ogre::MeshManager::getSingleton().getResourceIterator(); it.hasMoreElements(); it.moveNext())
        ++meshes;
    return "scene managers " + std::to_string(managers) + ", meshes " + std::to_string(meshes) +
           ", entities " + std::to_string(entities);
}
