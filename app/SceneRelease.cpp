#include "app/SceneRelease.h"

#include <Ogre.h>
#include <Overlay/OgreOverlaySystem.h>

void releaseScene(Ogre::Root* root, Ogre::SceneManager* sceneManager, Ogre::OverlaySystem* overlays)
{
    if (sceneManager) {
        sceneManager->clearScene();
        sceneManager->destroyAllCameras();
        sceneManager->destroyAllEntities();
        if (overlays)
            sceneManager->removeRenderQueueListener(overlays);
    }
    if (root && root->getAutoCreatedWindow())
        root->getAutoCreatedWindow()->removeAllViewports();
    if (root && sceneManager)
        root->destroySceneManager(sceneManager);
}
