#pragma once
// Scenery figure e4: the three chained wings and a spiral of twelve rings,
// each ring a fan of three pyramids on chained pivots, each pivot turned a
// further -1.7 rad. Animation 0 pulses the ring pyramids in scale and swings
// the wings. e5 and e6 are built by the same script with their own ring
// parts.
#include "model/Model.h"

class e4 : public Model {
public:
    e4(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

// The part of a ring fan and its pivot.
struct RingPart {
    int kind;
    const char* partKey;
    // the turn of every part's pivot (angle -1.7 rad) and the group that
    // gathers the pivots (0: none)
    float pivotAxis[3];
    int pivotGroup;
    double scale[3];
    double position[3];
};

extern const RingPart E4_RING_PART;

// The build script of e4 with the ring part given, run after the figure's
// common start.
void buildRingFanScenery(Model& m, const RingPart& part);

// The ring pyramids' scale pulse of animation 0 (e5 runs it too).
const std::vector<Key>& e4RingScaleKeys();
const AnimationTable& e4Animations();

Model* makeE4(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
