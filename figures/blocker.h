#pragma once
// The blocker enemy's figure: a cube with four pyramid spikes at its upper
// corners, a tail of four to nine shrinking cubes and a sphere in the tail.
#include "model/Model.h"

extern const AnimationTable BLOCKER_ANIMATIONS;

class blocker : public Model {
public:
    blocker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

Model* makeBlocker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
