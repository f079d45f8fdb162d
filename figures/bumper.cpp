#include "figures/bumper.h"

#include "figures/flowerAnimations.h"

// Groups: 1 the arms' spheres, 2 the stalk's sphere, 3 the arms' lower cubes
// and the spike, 4 the outer pivot, 8 the spike, 9 and 10 the arms' upper
// cubes, 11 the stalk cube, and the flower's fling groups 13 (the spike),
// 14 (the tail cube) and 15 (the second arm's sphere).

namespace {

// One segment 0 to 750 ms: the position from zero, then a spin of up to 25
// rad about X, of one group.
Track thrownApart(int group, Value position)
{
    return keyframes(group, {POSITION, ROTATION},
                     {{0, {{0, 0, 0}, {0, 1, 0, 0}}}, {750, {position, {25, 1, 0, 0}}}});
}

// The arm's swing about its upper cube's tilt axis z (0.43 or -0.43).
Track swing(int group, double z)
{
    return keyframes(group, ROTATION,
                     {{0, {1, 0, 0, z}},
                      {500, {1.1, 0, 0, z}},
                      {750, {1.4, 0, 0, z}},
                      {1000, {1.2, 0.2, 0, z}},
                      {1250, {1, 0, 0, z}}});
}

} // namespace

const AnimationTable BUMPER_ANIMATIONS = {
    // 0: destruction
    {thrownApart(10, {-14, 15, 13}), thrownApart(11, {0, 1, 15}), thrownApart(8, {0, 3, 15}),
     thrownApart(9, {15, 15, -13})},
    // 1: idle loop
    {swing(10, -0.43), swing(9, 0.43)},
    // 2: beat pulse and hit reaction
    {keyframes(1, SCALE,
               {{0, {2.2, 0.7, 2}}, {250, {2.2, 0.7, 3}}, {500, {2.2, 0.7, 2}}, {750, {2.2, 0.7, 1}},
                {1000, {2.2, 0.7, 2}}}),
     keyframes(2, SCALE,
               {{0, {1.75, 2, 1.75}}, {250, {1.75, 3, 1.75}}, {500, {1.75, 2, 1.75}},
                {750, {1.75, 1, 1.75}}, {1000, {1.75, 2, 1.75}}})},
    // 3 to 5: the flower's flings, on the same groups
    flowerFling(3),
    flowerFling(4),
    flowerFling(5),
    // 6: the spheres turned to and fro
    {keyframes(1, ROTATION,
               {{0, {0, 0, 1, 0}}, {250, {3, 0, 1, 0}}, {500, {0, 0, 1, 0}}, {750, {-3, 0, 1, 0}},
                {1000, {0, 0, 1, 0}}}),
     keyframes(2, ROTATION,
               {{0, {-0.6, 1, 0, 0}}, {250, {-4, 1, 0, 0}}, {500, {-0.6, 1, 0, 0}}, {750, {4, 1, 0, 0}},
                {1000, {-0.6, 1, 0, 0}}})},
};

namespace {
const FigureHeader BUMPER{FIGURE_BUMPER, "bumper", 5, 0, &BUMPER_ANIMATIONS};
} // namespace

bumper::bumper(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(BUMPER, sceneManager, root, instanceNumber);
    pushNode();
    setScale(0.01, 0.01, 0.01);
    rotateNode(3.14f, 0, 1, 0);
    pushNode();
    addPart(SHAPE_CUBE, "CUBE1", 3);
    setPosition(0, 1, 0.1);
    setScale(20, 10, 10);
    rotateNode(1, 0, 0, 0);
    editVertex(6, 0, 0.5, 0);
    editVertex(7, 0, 0.5, 0);
    // The second block hangs on the outer pivot, beside the inner one.
    selectNode(1);
    addNodeToGroup(4);
    addPart(SHAPE_CUBE, "CUBE2", 3);
    setPosition(0, 0, 0);
    setScale(20, 10, 10);
    rotateNode(1, 0, 0, 0);
    setPosition(0, 1, 0);
    editVertex(0, 0.5, 0, 0);
    editVertex(4, 0.5, 0, 0);
    editVertex(1, -0.5, 0, 0);
    editVertex(5, -0.5, 0, 0);

    // First arm, on the second block's face 3.
    selectPart(1);
    hangAtFace(3);
    addPart(SHAPE_CUBE, "CUBE3", 2);
    addNodeToGroup(9);
    setPosition(-0.2, 1.03, 0);
    setScale(0.5, 1.1, 1);
    rotateNode(1, 0, 0, 0.43f);
    editVertex(3, 0, 0.9, 0);
    editVertex(7, 0, 0.9, 0);
    hangAtFace(5);
    addPart(SHAPE_CUBE, "CUBE4", 2);
    addNodeToGroup(3);
    setPosition(-0.5, 0.65, 0);
    setScale(0.6, 1.5, 1);
    rotateNode(1.2f, 0, 0, 1);
    editVertex(0, 0, -0.1, 0);
    editVertex(4, 0, -0.1, 0);
    hangAtFace(5);
    addPart(SHAPE_SPHERE, "SPHERE0", 3);
    addNodeToGroup(1);
    setPosition(0, 0.3, 0);
    setScale(2.2, 0.7, 2);
    rotateNode(0, 0, 1, 0);

    // Second arm, on face 1.
    selectPart(1);
    hangAtFace(1);
    addPart(SHAPE_CUBE, "CUBE5", 2);
    addNodeToGroup(10);
    setPosition(0.2, 1.03, 0);
    setScale(0.5, 1.1, 1);
    rotateNode(1, 0, 0, -0.43f);
    editVertex(2, 0, 0.9, 0);
    editVertex(6, 0, 0.9, 0);
    hangAtFace(5);
    addPart(SHAPE_CUBE, "CUBE6", 2);
    addNodeToGroup(3);
    setPosition(0.5, 0.65, 0);
    setScale(0.6, 1.5, 1);
    rotateNode(-1.2f, 0, 0, 1);
    editVertex(1, 0, -0.1, 0);
    editVertex(5, 0, -0.1, 0);
    hangAtFace(5);
    addPart(SHAPE_SPHERE, "SPHERE0", 3);
    addNodeToGroup(15);
    addNodeToGroup(1);
    setPosition(0, 0.3, 0);
    setScale(2.2, 0.7, 2);
    rotateNode(1, 0, 0, 0);

    // The stalk, on the first block's face 0.
    selectPart(0);
    hangAtFace(0);
    addPart(SHAPE_CUBE, "CUBE7", 3);
    addNodeToGroup(11);
    setPosition(0, 0.75, 0);
    setScale(0.3, 0.75, 0.5);
    rotateNode(1, 0, 0, 0);
    editVertex(4, 0, 0, 1);
    editVertex(5, 0, 0, 1);
    hangAtFace(5);
    addPart(SHAPE_SPHERE, "SPHERE0", 1);
    addNodeToGroup(2);
    setPosition(0, 0, 0);
    setScale(1.75, 2, 1.75);
    rotateNode(-0.6f, 1, 0, 0);

    // The tail cube, straight on the second block, and its spike.
    selectPart(1);
    addPart(SHAPE_CUBE, "CUBE8", 3);
    addNodeToGroup(14);
    setPosition(0, 0, 2);
    setScale(1, 1, 1);
    rotateNode(1, 0, 0, 0);
    editVertex(3, 0, 0.5, 0);
    editVertex(2, 0, 0.5, 0);
    editVertex(4, 0, -0.9, 0);
    editVertex(5, 0, -0.9, 0);
    editVertex(6, 0, -0.25, 0.25);
    editVertex(7, 0, -0.25, 0.25);
    hangAtFace(2);
    addPart(SHAPE_PYRAMID, "PYRAMID0", 2);
    addNodeToGroup(13);
    addNodeToGroup(8);
    setPosition(0, 2.8, 0);
    setScale(1, 2.5, 1);
    rotateNode(-0.1f, 1, 0, 0);
    editVertex(3, 0, -0.3, -0.5);
    editVertex(2, 0, -0.3, -0.5);
    selectPart(11);
    editVertex(4, 0, 0, 0);
    addNodeToGroup(3);
}

Model* makeBumper(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new bumper(sceneManager, root, instanceNumber);
}
