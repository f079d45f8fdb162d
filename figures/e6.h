#pragma once
// Scenery figure e6: e4 with thin tetrahedra in place of the ring pyramids,
// their pivots turned about a tilted axis and gathered in group 3.
// Animation 0 slides the tetrahedra along X and swings the wings, 1 swings
// the tetrahedron pivots, 2 slides the tetrahedra along Z.
#include "figures/e4.h"
#include "model/Model.h"

class e6 : public Model {
public:
    e6(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

extern const RingPart E6_RING_PART;
const AnimationTable& e6Animations();

Model* makeE6(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
