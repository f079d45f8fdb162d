#include "app/LoadState.h"

#include <OgreResourceGroupManager.h>

void LoadState::enter()
{
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.initialiseAllResourceGroups();
    groups.loadResourceGroup(groups.getWorldResourceGroupName(), false, true);
}
