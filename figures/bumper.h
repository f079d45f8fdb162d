#pragma once
// The bumper figure (type code 7): a body of two blocks, two jointed arms
// ending in flattened spheres, a stalk with a sphere, and a tail cube with a
// pyramid spike. No random draws: all bumpers of a variant look alike.
#include "model/Model.h"

extern const AnimationTable BUMPER_ANIMATIONS;

class bumper : public Model {
public:
    bumper(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

Model* makeBumper(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
