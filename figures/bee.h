#pragma once
// The bee enemy's figure: three spheres in a chain, four jointed limbs of
// three flat pyramids, and a tail of a random chain of two or three cubes,
// shaped cubes and a spike.
#include "model/Model.h"

extern const AnimationTable BEE_ANIMATIONS;

struct BeeLimb;

class bee : public Model {
public:
    bee(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);

private:
    void limb(const BeeLimb& l);
};

Model* makeBee(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
