#pragma once
// The scenery figure behind the menu-like screens and one of the background
// markers in play: a chain of nine stems, each carrying three long cubes.
#include "model/Model.h"

extern const AnimationTable ENVIRON3_ANIMATIONS;

class environ3 : public Model {
public:
    environ3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

Model* makeEnviron3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
