#include "figures/ten1.h"

namespace {

// Animation 2 (fired) and 3 (power shot) share their key times, the swing of
// the stalk and the growing of the tip joints.
const std::vector<Key> STALK_SWING = {
    {0, {0, 0, 0, 1}}, {700, {1.5, 0, 0, 1}}, {2000, {0, 0, 0, 1}}};
constexpr Value TIP_START_SCALE = {1, 1.2, 1};
constexpr Value TIP_GROWN_SCALE = {1.7, 1.7, 1.7};
constexpr Value TIP_END_SCALE = {1, 1, 1};

// A shot curls the base segments about x from one angle to another and
// back, and the tip joints from an angle about (1, 0, 1) to 0.2 about x and
// back; the power shot curls from the other side.
Animation shot(double baseAngle, double baseTurnedAngle, double tipAngle)
{
    const Value baseFrom = {baseAngle, 1, 0, 0};
    const Value tipFrom = {tipAngle, 1, 0, 1};
    return {
        keyframes(TEN1_BASE_SEGMENTS, ROTATION,
                  {{0, baseFrom}, {700, {baseTurnedAngle, 1, 0, 0}}, {2000, baseFrom}}),
        keyframes(TEN1_TIP_JOINTS, {ROTATION, SCALE},
                  {{0, {tipFrom, TIP_START_SCALE}},
                   {700, {{0.2, 1, 0, 0}, TIP_GROWN_SCALE}},
                   {2000, {tipFrom, TIP_END_SCALE}}}),
        keyframes(TEN1_STALK, ROTATION, STALK_SWING),
    };
}

// The twist reactions (animations 4 to 6) move between three poses.
struct Pose {
    Value baseTurn;
    Value baseScale;
    Value tipTurn;
    Value stalkTurn;
    Value stalkScale;
};
const Pose UNTWISTED = {
    {-1.7, 1, 0, 0}, {0.85, 0.8, 0.85}, {-1.7, 1, 0, 1}, {0, 0, 0, 1}, {0.25, 1.5, 0.25}};
const Pose HALFWAY = {
    {-0.02, 0.7, -0.4, 1}, {0.85, 0.85, 0.85}, {0.85, 1, -0.68, 0}, {1.2, 0, 0, 1}, {0.25, 2.3, 0.25}};
const Pose TWISTED = {
    {1.06, 1, -0.68, 0}, {0.9, 0.9, 0.9}, {-1, -0.58, -1, -1.2}, {1.39, 0, 0, 1}, {0.25, 2.61, 0.25}};

struct PoseWindow {
    int startMs;
    int endMs;
    const Pose& from;
    const Pose& to;
};

// The base segments and the stalk write rotation, then scale; the tip joints
// rotation only.
Animation twist(const std::vector<PoseWindow>& windows)
{
    Track base{TEN1_BASE_SEGMENTS, {}}, tip{TEN1_TIP_JOINTS, {}}, stalk{TEN1_STALK, {}};
    for (const PoseWindow& w : windows) {
        base.windows.push_back({w.startMs, w.endMs,
                                {{ROTATION, w.from.baseTurn, w.to.baseTurn},
                                 {SCALE, w.from.baseScale, w.to.baseScale}}});
        tip.windows.push_back({w.startMs, w.endMs, {{ROTATION, w.from.tipTurn, w.to.tipTurn}}});
        stalk.windows.push_back({w.startMs, w.endMs,
                                 {{ROTATION, w.from.stalkTurn, w.to.stalkTurn},
                                  {SCALE, w.from.stalkScale, w.to.stalkScale}}});
    }
    return {base, tip, stalk};
}

const FigureHeader TEN1{FIGURE_TEN1, "ten1", 5, 0, &TEN1_ANIMATIONS};

} // namespace

const AnimationTable TEN1_ANIMATIONS = {
    // 0: destruction: the figure tumbles and falls apart
    {
        keyframes(TEN1_BASE_SEGMENTS, {ROTATION, POSITION},
                  {{0, {{-1.7, 0.5, 0.6, 0}, {0, 0.2, 0}}},
                   {1000, {{1.7, -0.5, 0.6, 0}, {0, 0.2, 0}}},
                   {1500, {{-1.7, 0, -0.6, 0.5}, {0, 0.2, 0}}},
                   {2500, {{1.7, 0, -0.6, 0.5}, {0, 0.8, 0}}},
                   {4000, {{1.7, 0, -0.6, 0.5}, {0, 2.2, 0}}}}),
        keyframes(TEN1_TIP_JOINTS, {ROTATION, POSITION},
                  {{0, {{1.7, 0.5, 0.6, 0}, {0, 0.2, 0}}},
                   {1000, {{-1.7, 0.5, 0.6, 0}, {0, 0.2, 0}}},
                   {1500, {{1.7, 0, 0.6, 0.5}, {0, 1.2, 0}}},
                   {2500, {{-1.7, 0, -0.6, 0.5}, {0, 2.5, 0}}},
                   {4000, {{-6.7, 0, -0.6, 0.5}, {0, 20, -15}}}}),
        keyframes(TEN1_STALK, {ROTATION, POSITION},
                  {{0, {{0, 0, 0, 1}, {0, 0.5, 0}}},
                   {1000, {{0.5, 0, 0, 1}, {0, 0.5, 0}}},
                   {1500, {{1.2, 0, 0, 1}, {0, 0.5, 0}}},
                   {2500, {{-0.2, 0, 0, 1}, {0, 0.5, 0}}},
                   {4000, {{-0.3, 1, 1, 0}, {15, 1.5, 0}}}}),
        keyframes(TEN1_HEAD, ROTATION,
                  {{0, {-3.14, 1, 0, -1}},
                   {1000, {-3.14, 0.8, -0.1, -1}},
                   {1500, {-3.14, 1.2, -0.2, -1}},
                   {2500, {-3.14, 0.4, -0.4, -1}},
                   {4000, {-3.14, -2, -1.5, -1}}}),
    },
    // 1: idle loop: base and tip curl against each other, the stalk rocks
    {
        keyframes(TEN1_BASE_SEGMENTS, ROTATION,
                  {{0, {-1.7, 0.5, 0.6, 0}},
                   {1500, {1.7, -0.5, 0.6, 0}},
                   {3000, {-1.7, 0, 0.6, 0.5}},
                   {4500, {1.7, 0, -0.6, 0.5}}}),
        keyframes(TEN1_TIP_JOINTS, ROTATION,
                  {{0, {1.7, 0.5, 0.6, 0}},
                   {1500, {-1.7, 0.5, 0.6, 0}},
                   {3000, {1.7, 0, 0.6, 0.5}},
                   {4500, {-1.7, 0, -0.6, 0.5}}}),
        keyframes(TEN1_STALK, ROTATION,
                  {{0, {0, 0, 0, 1}}, {1500, {0.5, 0, 0, 1}}, {3000, {1.2, 0, 0, 1}}, {4500, {-0.2, 0, 0, 1}}}),
    },
    // 2: fired
    shot(-1.7, 0.2, -1.7),
    // 3: power shot
    shot(1.7, -0.2, 1.7),
    // 4: twist (event code 14)
    twist({{0, 750, UNTWISTED, HALFWAY}, {750, 1150, HALFWAY, TWISTED}}),
    // 5: untwist (event code 2): the poses of 4 backwards on the same key times
    twist({{0, 750, TWISTED, HALFWAY}, {750, 1150, HALFWAY, UNTWISTED}}),
    // 6: damaged: the first stretch of 4, a jump to its end pose, held, and
    // back to its start
    twist({{0, 450, UNTWISTED, HALFWAY}, {450, 650, TWISTED, TWISTED}, {650, 750, TWISTED, UNTWISTED}}),
};

ten1::ten1(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(TEN1, sceneManager, root, instanceNumber);

    // head, turned so the tentacle, built along +Y, hangs along the root's -Y
    pushNode();
    setScale(2, 2, 2);
    rotateNode(-3.14f, 1, 0, -1);
    addNodeToGroup(TEN1_HEAD);
    addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
    setScale(1, 1, 1);

    // the stalk through the pyramid, the tentacle anchored at its top
    addPart(SHAPE_CUBE, "CUBE0", 0);
    addNodeToGroup(TEN1_STALK);
    rotateNode(0, 0, 0, 1);
    setScale(0.25, 1.5, 0.25);
    setPosition(0, 0.5, 0);
    pushNode();
    setPosition(0, 1, 0);

    // Each segment is built, then the cursor steps back one node and returns
    // to the segment through its part, which leaves the node index one below.
    repeat(8, [&](int i) {
        if (i > 0)
            hangAtFace(5);
        addPart(SHAPE_CUBE, "CUBE0", 0);
        addNodeToGroup(TEN1_BASE_SEGMENTS);
        rotateNode(0, 1, 0, 0);
        setScale(0.85, 0.8, 0.85);
        setPosition(0, 0.2, 0);
        selectNode(currentNodeIndex - 1);
        selectPart(currentPartIndex);
    });

    // The tip half: the node before each segment (base segment 8, then the
    // sockets) is its joint.
    repeat(8, [&](int j) {
        if (j > 0)
            hangAtFace(5);
        addPart(SHAPE_CUBE, "CUBE0", 0);
        rotateNode(0, 1, 0, 0);
        setScale(0.85, 0.8, 0.85);
        setPosition(0, 0.2, 0);
        selectNode(currentNodeIndex - 1);
        addNodeToGroup(TEN1_TIP_JOINTS);
        selectPart(currentPartIndex);
    });

    pushNode();
    addNodeToGroup(TEN1_TIP_JOINTS);
    addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON0", 0);
    addNodeToGroup(TEN1_TIP_SPIKE);
    setScale(0.3, 2, 0.3);
}

Model* makeTen1(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new ten1(sceneManager, root, instanceNumber);
}
