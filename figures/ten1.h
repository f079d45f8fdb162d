#pragma once
// The tentacle: a pyramid head on a stalk, and a chain of sixteen cube
// segments, each smaller than the one before, ending in a tetrahedron spike.
#include "model/Model.h"

// Animation groups of the tentacle.
enum Ten1Group {
    TEN1_BASE_SEGMENTS = 1,
    // base segment 8, the tip sockets and the tip pivot
    TEN1_TIP_JOINTS = 2,
    TEN1_TIP_SPIKE = 3,
    TEN1_STALK = 5,
    TEN1_HEAD = 8,
};

// What the tentacle's animations are for.
enum Ten1Animation {
    TEN1_DESTRUCTION = 0,
    TEN1_IDLE = 1,
    TEN1_FIRED = 2,
    TEN1_POWER_SHOT = 3,
    // the reactions to event codes 14 and 2
    TEN1_TWIST = 4,
    TEN1_UNTWIST = 5,
    TEN1_DAMAGED = 6,
};

extern const AnimationTable TEN1_ANIMATIONS;

class ten1 : public Model {
public:
    ten1(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

Model* makeTen1(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
