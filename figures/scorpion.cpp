#include "figures/scorpion.h"

#include "figures/VertexEdits.h"
#include "figures/mosquito.h"

// Groups: 2 the tail joints; 3 the joints of the stinger and the branch
// stingers; 4 the tail root pivot; 9 the two side pivots; 10 the first
// outer side piece; 11 the second inner side piece; 12 the first inner one.
const AnimationTable& scorpionAnimations()
{
    // Made at first use: the mosquito's table is another file's, and ready
    // by then.
    static const AnimationTable table = {
        // 0: destruction, every joint spins off
        {
            keyframes(2, {ROTATION, POSITION}, {{0, {{0, 0, 0, 0}, {0, 0, 0}}}, {1000, {{25, 0, 1, 1}, {0, 0, 25}}}}),
            keyframes(3, {ROTATION, POSITION}, {{0, {{0, 0, 0, 0}, {0, 0, 0}}}, {1000, {{25, 0, 1, 1}, {0, 25, 0}}}}),
            keyframes(4, {ROTATION, POSITION}, {{0, {{0, 0, 0, 0}, {0, 0, 0}}}, {1000, {{25, 0, 1, 0}, {0, 25, 0}}}}),
            keyframes(9, {ROTATION, POSITION}, {{0, {{0, 0, 0, 0}, {0, 0, 0}}}, {1000, {{25, 0, 1, 0}, {50, 50, 0}}}}),
        },
        // 1: idle loop, the tail bends and stretches
        {keyframes(2, {ROTATION, SCALE},
                   {{0, {{0, 1, 0, 1}, {1, 1, 1}}},
                    {250, {{-0.4, 1, 0, 1}, {1, 1.7, 1}}},
                    {750, {{0, 1, 0, 1}, {1, 0.5, 1}}}})},
        // 2: beat pulse and hit reaction
        {
            keyframes(2, SCALE, {{0, {1, 1, 1}}, {100, {1, 1.25, 1}}, {250, {1.15, 1, 1.15}}, {400, {1, 1, 1}}}),
            keyframes(9, SCALE, {{0, {1, 1, 1}}, {100, {1, 2, 1}}, {250, {2, 1, 2}}, {400, {1, 1, 1}}}),
        },
        MOSQUITO_ANIMATIONS[3],
        MOSQUITO_ANIMATIONS[4],
        MOSQUITO_ANIMATIONS[5],
    };
    return table;
}

namespace {

const VertexEdits CUBE1_EDITS = { // front segment
    {0, 0, 0, 0}, {1, 0, 0, 0}, {2, -0.4, 0, 0.5}, {3, 1.43, 0, 0.5},
    {4, 0, 0, 0}, {5, 0, 0, 0}, {6, -0.4, 0, -0.5}, {7, 1.43, 0, -0.5}};
const VertexEdits CUBE2_EDITS = { // middle segment
    {0, 0, 0, 0.25}, {1, 0, 0, 0.25}, {2, 0, 0, 0}, {3, 0, 0, 0},
    {4, 0, 0, -0.25}, {5, 0, 0, -0.25}, {6, 0, 0, 0}, {7, 0, 0, 0}};
const VertexEdits CUBE3_EDITS = { // rear segment
    {0, 1, 0, 0.25}, {1, -0.1, 0, 0.25}, {2, 0, 0, 0}, {3, 0, 0, 0},
    {4, 1, 0, -0.25}, {5, -0.1, 0, -0.25}, {6, 0, 0, 0}, {7, 0, 0, 0}};
const VertexEdits CUBE4_EDITS = { // end segment
    {0, 0, 0, -0.17}, {1, 0, 0, 0}, {2, -0.25, 0, 0.25}, {3, 0.25, 0, 0.25},
    {4, 0, 0, 0.17}, {5, 0, 0, 0}, {6, -0.25, 0, -0.25}, {7, 0.25, 0, -0.25}};
const VertexEdits CUBE7_EDITS = {{0, -0.5, 0, -0.5}, {5, 0.5, 0, 0.5}}; // stinger cube 1
const VertexEdits CUBE8_EDITS = { // stinger cube 2
    {0, -0.5, 0, -0.5}, {5, 0.5, 0, 0.5}, {7, 0.35, 0, -0.35}, {2, -0.35, 0, 0.35}};
const VertexEdits PYRAMID8_EDITS = { // barb
    {0, 0, 0, 0}, {1, 0.46, 0, 0.48}, {2, -0.48, 0, -0.43}, {3, -0.06, 0, 0}};

// The turn of a branch stinger's first joint about (1, 0, 1), by branch: the
// second forks from the same pivot as the first, mirrored across the plane
// of that axis and the stinger (its parts are symmetric about that plane).
constexpr float BRANCH_TURN[] = {-1.75f, 1.75f};

} // namespace

scorpion::scorpion(Ogre::SceneManager* sceneManager, Ogre::SceneNode* rootNode, int instance)
{
    static const FigureHeader header{FIGURE_SCORPION, "scorpion", 5, 0, &scorpionAnimations()};
    beginFigure(header, sceneManager, rootNode, instance);

    pushNode(); // 1 root pivot
    rotateNode(-1.57f, 0, 1, 0);
    setScale(0.1, 0.1, 0.1);

    // The body: four segments, each hung at a face of the one before.
    addPart(SHAPE_CUBE, "CUBE1", 0); // 2, part 0: front
    setPosition(2.17, -0.42, 0);
    rotateNode(-1.57f, 0, 0, 1);
    setScale(0.96, 1, 1);
    editVertices(*this, CUBE1_EDITS);
    hangAtFace(4); // 3
    addPart(SHAPE_CUBE, "CUBE2", 0); // 4, part 1: middle
    setScale(1, 1.5, 1);
    setPosition(0, -1.5, 0);
    rotateNode(3.14f, 0, 1, 0);
    editVertices(*this, CUBE2_EDITS);
    hangAtFace(4); // 5
    addPart(SHAPE_CUBE, "CUBE3", 0); // 6, part 2: rear
    setScale(1, 0.7, 0.75);
    setPosition(0, -0.7, 0);
    rotateNode(0, 0, 0, 0);
    editVertices(*this, CUBE3_EDITS);
    hangAtFace(1); // 7
    addPart(SHAPE_CUBE, "CUBE4", 0); // 8, part 3: end
    setScale(0.5, 0.25, 0.75);
    setPosition(0.56, 0.22, 0);
    rotateNode(-0.05f, 0, 0, 1);
    editVertices(*this, CUBE4_EDITS);
    hangAtFace(4); // 9

    // The tail.
    pushNode(); // 10 tail pivot
    rotateNode(3.14f, 0, 0, 1);
    addPart(SHAPE_CUBE, "CUBE0", 0); // 11, part 4
    setScale(0.9, 0.9, 0.9);
    setPosition(0, -2, 0);
    addPart(SHAPE_CUBE, "CUBE0", 2); // 12, part 5
    setPosition(0, -2, 0);
    rotateNode(-0.785f, 0, 1, 0);
    setScale(0.75, 2, 0.75);
    pushNode(); // 13 tail root pivot
    addNodeToGroup(4);
    repeatRandom(3, 7, [this](int) {
        pushNode(); // tail joint
        addNodeToGroup(2);
        addPart(SHAPE_CUBE, "CUBE0", 2); // tail segment
        setPosition(-0.75, -2, 0.75);
        rotateNode(-0.2f, 1, 0, 1);
    });

    // The stinger.
    pushNode(); // N joint 1
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE7", 2); // N + 1
    setPosition(0, -2, 0);
    setScale(1, 1, 1);
    editVertices(*this, CUBE7_EDITS);
    pushNode(); // N + 2 joint 2
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE8", 2); // N + 3
    setPosition(0, -2, 0);
    setScale(1.5, 1, 1.5);
    editVertices(*this, CUBE8_EDITS);
    pushNode(); // N + 4 joint 3
    addNodeToGroup(3);
    addPart(SHAPE_CUBE, "CUBE8", 2); // N + 5
    setPosition(0, -3, 0);
    setScale(1.5, 2, 1.5);
    hangAtFace(4); // N + 6
    pushNode(); // N + 7 joint 4
    addNodeToGroup(3);
    pushNode(); // N + 8 barb pivot
    rotateNode(3.1415f, 5, 0, 5);
    setScale(1.2, 1, 0.83);
    addPart(SHAPE_PYRAMID, "PYRAMID8", 2); // N + 9 barb
    setPosition(0, 2, 0);
    setScale(1, 2, 1);
    editVertices(*this, PYRAMID8_EDITS);

    // The branch stingers fork behind the stinger's first cube.
    selectNode(currentNodeIndex - 7); // N + 2
    pushNode(); // N + 10 branch pivot
    rotateNode(3.1415f, 0, 0, 1);
    const std::int32_t branchPivot = currentNodeIndex;
    repeatRandom(1, 3, [this, branchPivot](int branch) {
        selectNode(branchPivot);
        pushNode(); // joint 1
        rotateNode(BRANCH_TURN[branch], 1, 0, 1);
        addNodeToGroup(3);
        addPart(SHAPE_CUBE, "CUBE7", 2);
        pushNode(); // joint 2
        addNodeToGroup(3);
        addPart(SHAPE_CUBE, "CUBE8", 2);
        setPosition(0, -2, 0);
        setScale(1.5, 1, 1.5);
        pushNode(); // joint 3
        addNodeToGroup(3);
        addPart(SHAPE_CUBE, "CUBE8", 2);
        setPosition(0, -3, 0);
        setScale(1.5, 2, 1.5);
        pushNode(); // joint 4
        addNodeToGroup(3);
        pushNode(); // barb pivot
        rotateNode(3.1415f, 5, 0, 5);
        setScale(1.2, 1, 0.83);
        addPart(SHAPE_PYRAMID, "PYRAMID8", 2); // barb
        setPosition(0, 3, 0);
        setScale(1, 2, 1);
    });

    // The side arms on the middle segment.
    selectPart(1);
    pushNode(); // K first side pivot
    addNodeToGroup(9);
    addPart(SHAPE_CUBE, "CUBE0", 0); // K + 1, part R: first inner piece
    setPosition(0, 0, -1.61);
    rotateNode(1.35f, 1, 0, 0);
    setScale(0.19, 1.11, 0.68);
    addNodeToGroup(12);
    selectPart(1);
    pushNode(); // K + 2 second side pivot
    addNodeToGroup(9);
    addPart(SHAPE_CUBE, "CUBE0", 0); // K + 3, part R + 1: second inner piece
    addNodeToGroup(11);
    setPosition(0, 0, 1.61);
    rotateNode(-1.35f, 1, 0, 0);
    setScale(0.19, 1.11, 0.68);
    selectPart(currentPartIndex - 1); // R
    addPart(SHAPE_CUBE, "CUBE0", 0); // K + 4, part R + 2: first outer piece
    addNodeToGroup(10);
    setPosition(0, -0.68, -0.51);
    rotateNode(1.81f, 1, 0, 0);
    setScale(2, 1, 1.29);
    selectPart(currentPartIndex - 1); // R + 1
    addPart(SHAPE_CUBE, "CUBE0", 0); // K + 5, part R + 3: second outer piece
    setPosition(0, -0.61, 0.59);
    rotateNode(-1.81f, 1, 0, 0);
    setScale(2, 1, 1.29);
}

Model* makeScorpion(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    return new scorpion(sceneManager, root, instance);
}
