#include "figures/bee.h"

#include "figures/flowerAnimations.h"

// Groups: 1 the limb segments, 2 the chain, 3 the tail after the chain,
// 4 below the tail's first cube, 10 and 11 the middle pyramids of limbs A and
// B, 12 the hip of limb D.

namespace {

constexpr int NO_GROUP = -1;

// Nothing starts these for a bee.
constexpr FlingKeys BEE_FLINGS[3] = {
    // 3: the hip of limb D
    {450, 500, {{-0.95, 0.3, 0}, {-5.95, -3, 5}, {-59, 2000, 15}}, {0, -5, -26}, {false, true}},
    // 4: the middle pyramid of limb B
    {450, 500, {{-0.77, 0.47, 0}, {-5.95, 3, 5}, {-59, 2000, 15}}, {0, -5, -26}, {false, true}},
    // 5: the middle pyramid of limb A
    {450, 500, {{0.77, 0.47, 0}, {5.95, 3, 5}, {-59, 2000, 15}}, {0, -5, -26}, {true, true}},
};

// One segment 0 to 1000 ms: the position from zero, then the rotation from
// none, of one group.
Track destruction(int group, Value position, Value rotation)
{
    return keyframes(group, {POSITION, ROTATION},
                     {{0, {{0, 0, 0}, {0, 0, 0, 0}}}, {1000, {position, rotation}}});
}

} // namespace

const AnimationTable BEE_ANIMATIONS = {
    // 0: destruction
    {destruction(1, {0, 75, 0}, {125, 1, 0, 1}), destruction(2, {0, 125, 0}, {10, 1, 0.5, 1}),
     destruction(3, {0, 25, 0}, {25, 1, 0, 1})},
    // 1: idle loop
    {keyframes(1, ROTATION,
               {{0, {0, 0, 0, 0}}, {500, {1.07, 1, 0, 0}}, {750, {1.07, 1, 0, 0}}, {1500, {0, 0, 0, 0}}}),
     keyframes(2, ROTATION,
               {{0, {0, 0, 0, 0}},
                {500, {0.8, 1, 0, 0}},
                {750, {0, 0, 0, 0}},
                {1000, {-0.8, 1, 0, 0}},
                {1500, {0, 0, 0, 0}}})},
    // 2: beat pulse and hit reaction
    {keyframes(1, SCALE, {{0, {1, 1, 1}}, {150, {1, 2, 1}}, {200, {2, 2, 1}}, {250, {1, 1, 1}}}),
     keyframes(2, SCALE, {{0, {1, 1, 1}}, {150, {1, 1.2, 1}}, {200, {1.2, 1.2, 1}}, {250, {1, 1, 1}}})},
    // 3 to 5: one limb piece flung off
    fling(BEE_FLINGS[0], 12),
    fling(BEE_FLINGS[1], 11),
    fling(BEE_FLINGS[2], 10),
};

namespace {
const FigureHeader BEE{FIGURE_BEE, "bee", 5, 0, &BEE_ANIMATIONS};
} // namespace

// A limb hangs below the cursor: a hip pivot, then three pyramid segments,
// each on a socket at the apex of the one before, bent at elbow and wrist.
struct BeeLimb {
    double side;
    int colour;
    bool small;
    int hipGroup;
    int middleGroup;
};

namespace {
const BeeLimb LIMB_A{+1, 0, false, NO_GROUP, 10};
const BeeLimb LIMB_B{-1, 0, false, NO_GROUP, 11};
const BeeLimb LIMB_C{+1, 2, true, NO_GROUP, NO_GROUP};
const BeeLimb LIMB_D{-1, 2, true, 12, NO_GROUP};
} // namespace

bee::bee(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(BEE, sceneManager, root, instanceNumber);
    pushNode();
    setScale(0.1, 0.1, 0.1);
    rotateNode(1.7f, 1, 0, 0);
    addPart(SHAPE_SPHERE, "SPHERE0", 0);
    setScale(1, 1.5, 1);
    addPart(SHAPE_SPHERE, "SPHERE0", 3);
    setPosition(0, -1.8, -0.21);
    setScale(0.9, 1, 0.75);
    limb(LIMB_A);
    selectPart(1);
    limb(LIMB_B);
    // The third sphere hangs on the second, beside the limbs.
    selectPart(1);
    addPart(SHAPE_SPHERE, "SPHERE0", 3);
    setPosition(0, -1.8, -0.21);
    setScale(1.36, 1.34, 1.3);
    limb(LIMB_C);
    selectPart(currentPartIndex - 3);
    limb(LIMB_D);
    selectPart(currentPartIndex - 6);

    // The tail, each piece below the one before, in the first cube's frame.
    addPart(SHAPE_CUBE, "CUBE0", 2);
    setPosition(0, -0.992, 0);
    rotateNode(0.785f, 0, 1, 0);
    setScale(0.160001, 0.2, 0.24);
    pushNode();
    addNodeToGroup(4);
    repeatRandom(2, 4, [&](int) {
        pushNode();
        addNodeToGroup(2);
        addPart(SHAPE_CUBE, "CUBE0", 2);
        setPosition(0, -2, 0);
    });
    pushNode();
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE1", 2);
    setPosition(0, -2, 0);
    editVertex(0, -0.5, 0, -0.5);
    editVertex(5, 0.5, 0, 0.5);
    // The first of the five "CUBE2" parts shapes the mesh for all of them.
    pushNode();
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE2", 2);
    setPosition(0, -2, 0);
    setScale(1.5, 1, 1.5);
    editVertex(0, -0.5, 0, -0.5);
    editVertex(5, 0.5, 0, 0.5);
    editVertex(7, 0.35, 0, -0.35);
    editVertex(2, -0.35, 0, 0.35);
    pushNode();
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE2", 2);
    setPosition(0, -2, 0);
    setScale(1.5, 1, 1.5);
    hangAtFace(4);
    pushNode();
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE2", 2);
    setPosition(0, -1, 0);
    rotateNode(3.1415f, 5, 0, 5);
    setScale(1.2, 1, 0.83);
    repeat(2, [&](int) {
        pushNode();
        addNodeToGroup(3);
        addPart(SHAPE_CUBE, "CUBE2", 2);
        setPosition(0, 2, 0);
        setScale(0.68, 1, 0.68);
    });
    pushNode();
    addNodeToGroup(3);
    addPart(SHAPE_PYRAMID, "PYRAMID1", 2);
    setPosition(0, 2, 0);
    setScale(0.75, 2, 0.75);
    editVertex(1, 0.46, 0, 0.48);
    editVertex(2, -0.48, 0, -0.43);
    editVertex(3, -0.06, 0, 0);
}

void bee::limb(const BeeLimb& l)
{
    const double s = l.side;
    pushNode();
    if (l.hipGroup != NO_GROUP)
        addNodeToGroup(l.hipGroup);
    setPosition(0.95 * s, 0.3, 0);
    rotateNode(1.23f, 0, 0, float(-s));
    if (l.small)
        setScale(0.35, 0.35, 0.35);

    pushNode();
    addNodeToGroup(1);
    addPart(SHAPE_PYRAMID, "PYRAMID0", l.colour);
    setPosition(0, 1.84, 0);
    setScale(0.9, 2.28, 0.64);
    hangAtVertex(4);

    pushNode();
    rotateNode(float(-1.57 * s), 0, 0, 1);
    pushNode();
    addNodeToGroup(1);
    addPart(SHAPE_PYRAMID, "PYRAMID0", l.colour);
    if (l.middleGroup != NO_GROUP)
        addNodeToGroup(l.middleGroup);
    setPosition(0.77 * s, 0.47, 0);
    setScale(1, 0.52, 0.220001);
    hangAtVertex(4);

    pushNode();
    rotateNode(float(-0.360001 * s), 0, 0, 1);
    pushNode();
    addNodeToGroup(1);
    addPart(SHAPE_PYRAMID, "PYRAMID0", l.colour);
    setPosition(0.190001 * s, 0.2, 0);
    setScale(0.190001, 0.499999, 0.56);
}

Model* makeBee(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new bee(sceneManager, root, instanceNumber);
}
