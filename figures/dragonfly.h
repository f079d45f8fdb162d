#pragma once
// The dragonfly enemy's figure: a small tilted body pivot carrying a body of
// three pyramid pairs and, from a wing root, four wings of two tapering cubes
// each. Every dragonfly draws its own wing-root proportions and the yaws of
// three wings. Its idle animation beats the wings.
#include "model/Model.h"

class dragonfly : public Model {
public:
    dragonfly(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

const AnimationTable& dragonflyAnimations();

Model* makeDragonfly(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
