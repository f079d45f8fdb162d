#pragma once
// Scenery figure e3: the three chained wings and a spiral of fifteen rings,
// each ring a chain of three flattened pyramids. Animation 0 slides the ring
// pyramids along their chain and swings the wings.
#include "model/Model.h"

class e3 : public Model {
public:
    e3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

const AnimationTable& e3Animations();

Model* makeE3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
