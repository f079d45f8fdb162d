#pragma once
// The tentacle head, the boss: a large sphere with a neck of ten cube
// segments and a collar of two plates carrying eight spikes.
#include "model/Model.h"

// Animation groups of the tentacle head.
enum TentMonstGroup {
    TENTMONST_NECK = 2,
    TENTMONST_COLLAR = 3,
    TENTMONST_SPIKES = 4,
    TENTMONST_SPHERE = 9,
    TENTMONST_NECK_BASE = 10,
};

// What the head's animations are for.
enum TentMonstAnimation {
    TENTMONST_DESTRUCTION = 0,
    TENTMONST_IDLE = 1,
    TENTMONST_DAMAGED = 2,
    TENTMONST_FIRED = 3,
};

extern const AnimationTable TENTMONST_ANIMATIONS;

class tentMonst : public Model {
public:
    tentMonst(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);

private:
    // Four spikes on the top face of the current plate, near its corners;
    // after each but the last `backToPlate` spikes the plate is current again.
    void addSpikes(int backToPlate);
};

Model* makeTentMonst(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
