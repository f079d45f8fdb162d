#include "figures/flower.h"

#include "figures/flowerAnimations.h"

// Groups: 0 the figure pivot, 1 every arm joint, 3 every outer cube, 7 the
// arm base pivot, 10 the sphere, 11 the sphere pivot, 13 and 14 the outer
// joints of arms 4 and 2, 15 the first cube of arm 4.

const AnimationTable FLOWER_ANIMATIONS = {
    // 0: destruction: the arms spin off, the sphere shrinks away
    {keyframes(1, {ROTATION, POSITION}, {{0, {{0, 1, 0, 0}, {0, 0, 0}}}, {1250, {{62, 0, 1, 0}, {0, 25, 0}}}}),
     keyframes(10, {POSITION, SCALE}, {{0, {{0, 0, 0}, {1, 1, 1}}}, {1250, {{5, 5, -25}, {0.3, 0.3, 0.3}}}}),
     keyframes(11, ROTATION, {{0, {0, 0, 0, 1}}, {1250, {10, 0, 0, 1}}}),
     keyframes(3, {POSITION, ROTATION},
               {{0, {{0, 0, 0}, {-6.25, 0, 1, 1}}}, {1250, {{0, 25, 0}, {6.25, 0, 0, 1}}}})},
    // 1: idle loop: the figure turns, the arms bend
    {keyframes(0, ROTATION, {{0, {0, 0, 0, 1}}, {2000, {10, 0, 0, 1}}, {2300, {0, 0, 0, 1}}}),
     keyframes(1, ROTATION, {{0, {-1.6, 1, 0, 0}}, {2000, {0, 1, 0, 0}}, {2300, {-1.6, 1, 0, 0}}})},
    // 2: beat pulse and hit reaction
    {keyframes(7, SCALE, {{0, {1, 1, 1}}, {150, {1, 2, 1}}, {300, {1, 1, 1}}})},
    // 3 to 5: flings, shared with the bumper; nothing starts them for a flower
    flowerFling(3),
    flowerFling(4),
    flowerFling(5),
};

namespace {
const FigureHeader FLOWER{FIGURE_FLOWER, "flower", 5, 0, &FLOWER_ANIMATIONS};
constexpr int NO_GROUP = -1;
} // namespace

// One petal arm on the arm base pivot: a turned pivot, then joint, cube,
// joint, cube, joint, cube, each below the one before.
struct FlowerArm {
    bool selectBase;
    bool turned;
    float angle;
    int firstCubeGroup;
    bool shapesPetal;
    bool jointScale;
    int outerJointGroup;
};

namespace {
const FlowerArm ARMS[4] = {
    {false, false, 0, NO_GROUP, true, false, NO_GROUP},
    {true, true, 1.7f, NO_GROUP, false, false, 14},
    {true, true, -1.7f, NO_GROUP, false, false, NO_GROUP},
    {true, true, 3.14f, 15, false, true, 13},
};
} // namespace

flower::flower(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(FLOWER, sceneManager, root, instanceNumber);
    pushNode();
    setScale(0.05, 0.05, 0.05);
    addNodeToGroup(0);
    pushNode();
    setScale(2.45, 1.5, 1);
    setPosition(0, 0, -0.3);
    selectNode(1);
    pushNode();
    addNodeToGroup(11);
    addPart(SHAPE_SPHERE, "SPHERE1", 1);
    addNodeToGroup(10);
    selectNode(2);
    addNodeToGroup(7);
    for (const FlowerArm& a : ARMS)
        arm(a);
}

void flower::arm(const FlowerArm& a)
{
    if (a.selectBase)
        selectNode(2);
    pushNode();
    if (a.turned)
        rotateNode(a.angle, 0, 0, 1);
    pushNode();
    addNodeToGroup(1);
    addPart(SHAPE_CUBE, "CUBE1", 3);
    if (a.firstCubeGroup != NO_GROUP)
        addNodeToGroup(a.firstCubeGroup);
    setPosition(0, 5, 0);
    if (a.shapesPetal) {
        // The first cube of a new variant shapes the mesh of all twelve.
        editVertex(0, 0.75, -3.75, 0.5);
        editVertex(1, -0.75, -3.75, 0.5);
        editVertex(2, -1, 3, 2);
        editVertex(3, 1, 3, 2);
        editVertex(4, 0.5, 0, 0);
        editVertex(5, -0.5, 0, 0);
        selectPart(currentPartIndex);
    }
    repeat(2, [&](int) {
        pushNode();
        if (a.jointScale)
            setScale(1, 1, 1);
        addNodeToGroup(1);
        if (a.outerJointGroup != NO_GROUP)
            addNodeToGroup(a.outerJointGroup);
        addPart(SHAPE_CUBE, "CUBE1", 2);
        setPosition(0, 5.75, -1);
        setScale(0.5, 0.7, 1);
        addNodeToGroup(3);
    });
}

Model* makeFlower(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new flower(sceneManager, root, instanceNumber);
}
