#include "figures/blocker.h"

#include "figures/flowerAnimations.h"

// Groups: 1 the body cube, 2 the tail cubes, 3 and 4 the first and second
// spike, 5 the third and fourth, 8 the pivot.

const AnimationTable BLOCKER_ANIMATIONS = {
    // 0: destruction
    {keyframes(2, {ROTATION, POSITION},
               {{0, {{-3, 0, 1, 0}, {5, -5, 5}}}, {750, {{4, 0, 1, 0}, {-20, 20, -20}}}})},
    // 1: idle loop
    {keyframes(2, ROTATION,
               {{0, {0, 0, 0, 1}},
                {250, {0.3, 0, 0, 1}},
                {500, {0, 0, 0, 1}},
                {750, {-0.3, 0, 0, 1}},
                {1000, {0, 0, 0, 1}}})},
    // 2: beat pulse and hit reaction
    {keyframes(1, SCALE, {{0, {1, 1, 1}}, {150, {1.5, 1.9, 1.5}}, {300, {1, 1, 1}}})},
    // 3 to 5: the flower's flings on the spikes; nothing starts them for a
    // blocker
    flowerFling(3, 3),
    flowerFling(4, 4),
    flowerFling(5, 5),
};

namespace {

const FigureHeader BLOCKER{FIGURE_BLOCKER, "blocker", 5, 0, &BLOCKER_ANIMATIONS};

struct Spike {
    int corner;
    int group;
};
// The cube's four corners with y = +1.
const Spike SPIKES[4] = {{2, 3}, {3, 4}, {6, 5}, {7, 5}};

} // namespace

blocker::blocker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(BLOCKER, sceneManager, root, instanceNumber);
    pushNode();
    addNodeToGroup(8);
    setScale(0.5, 0.5, 0.5);
    rotateNode(1.7f, 1, 0, 0);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    addNodeToGroup(1);
    setPosition(0, 0, 0);
    setScale(1, 1, 1);
    rotateNode(1.0f, 0, 0, 0);
    for (const Spike& spike : SPIKES) {
        selectPart(0);
        hangAtVertex(spike.corner);
        addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        addNodeToGroup(spike.group);
        setScale(0.1, 0.1, 0.1);
    }
    // Each tail cube hangs below the one before, so offset and scale compound.
    selectPart(0);
    repeatRandom(4, 10, [&](int) {
        addPart(SHAPE_CUBE, "CUBE0", 0);
        setPosition(0, -1.75, 0);
        setScale(0.75, 0.75, 0.75);
        rotateNode(1.0f, 0, 0, 0);
        addNodeToGroup(2);
    });
    // The sphere sits in the tail cube two before the last.
    selectNode(currentNodeIndex - 2);
    addPart(SHAPE_SPHERE, "SPHERE0", 0);
    setPosition(0, 1.5, 0);
    setScale(1, 1, 1);
}

Model* makeBlocker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new blocker(sceneManager, root, instanceNumber);
}
