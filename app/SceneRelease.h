#pragma once
// A screen's scene given back to the engine at the screen's exit.
namespace Ogre {
class OverlaySystem;
class Root;
class SceneManager;
} // namespace Ogre

// Empties the scene (nodes, cameras, entities), takes the overlay listener
// off it and the viewports off the window, and destroys the scene manager:
// kept, one would pile up per visit until shut-down. Null pointers are
// skipped.
void releaseScene(Ogre::Root* root, Ogre::SceneManager* sceneManager, Ogre::OverlaySystem* overlays);
