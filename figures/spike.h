#pragma once
// The spike ship's figure: a base spike and a column of three pyramids that
// rises out of its tip and sinks back, all on one randomly deformed mesh.
#include "model/Model.h"

extern const AnimationTable SPIKE_ANIMATIONS;

class spike : public Model {
public:
    spike(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
};

Model* makeSpike(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
