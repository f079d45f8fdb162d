#include "figures/mosquito.h"

#include "figures/VertexEdits.h"

// Groups: 0 the lift pivot; 1 the blade carrier; 2 the second-side carrier;
// 3 and 4 the segment joints of the first and the second side, 5 all of
// them; 6 both pyramids; 7 every segment's outer cube, 10 those of the
// second side, 11 those of the first; 12 the first side's fixed outer cube.
const AnimationTable MOSQUITO_ANIMATIONS = {
    // 0: destruction
    {
        keyframes(1, {POSITION, ROTATION}, {{0, {{0, 0, 0}, {0, 1, 0.3, 0}}}, {500, {{8, 6, 0.5}, {3, 1, -0.3, 0}}}}),
        keyframes(5, {POSITION, ROTATION}, {{0, {{0, 0, 0}, {0, -1, 0.3, 0}}}, {500, {{3, 5, 0}, {-6, 0.7, 0.3, 0}}}}),
        keyframes(6, {POSITION, ROTATION}, {{0, {{0, 0, 0}, {0, 0.6, 0.3, 0}}}, {500, {{0, 7, 5}, {6, -1, 0.3, 0}}}}),
        keyframes(7, {POSITION, ROTATION}, {{0, {{0, 0, 0}, {0, 1, 0.3, 0}}}, {500, {{1, 12, -9}, {-7, 1, 0.9, 0}}}}),
    },
    // 1: idle loop, the blade carrier swings one way and the second side
    // the other
    {
        keyframes(1, ROTATION, {{0, {0, 0, 1, 0}}, {500, {1, 0, 1, 0}}, {1000, {0, 0, 1, 0}}}),
        keyframes(2, ROTATION, {{0, {0, 0, 0, 0}}, {500, {-1, 0, 1, 0}}, {1000, {0, 0, 0, 0}}}),
    },
    // 2: beat pulse and hit reaction
    {keyframes(0, SCALE, {{0, {1, 1, 1}}, {250, {1.7, 2.7, 1.7}}, {500, {1, 1, 1}}})},
    // 3: the second side's segment cubes thrown away
    {keyframes(10, {POSITION, ROTATION},
               {{0, {{0.77, 0.47, 0}, {0, 1, 0, 1}}},
                {450, {{10, -12, -8}, {-5, 1, 0, 1}}},
                {1100, {{-59, -2000, -15}, {-26, 1, 0, 1}}}})},
    // 4: the first side's segment cubes, upward; the first window writes
    // the rotation first
    {Track{11,
           {{0, 450, {{ROTATION, {0, 1, 0, 1}, {-15, 1, 0, 1}}, {POSITION, {-0.77, 0.47, 0}, {-6.95, 3, 5}}}},
            {450, 1100, {{POSITION, {-6.95, 3, 5}, {-59, 2000, 15}}, {ROTATION, {-15, 1, 0, 1}, {-26, 1, 0, 1}}}}}}},
    // 5: the fixed outer cube of the first side
    {Track{12,
           {{0, 450, {{ROTATION, {0, 1, 0, 1}, {-5, 1, 0, 1}}, {POSITION, {-0.95, 0.3, 0}, {-5.95, -3, -5}}}},
            {450, 1100, {{POSITION, {-5.95, -3, -5}, {-59, -2000, -15}}, {ROTATION, {-5, 1, 0, 1}, {-26, 1, 0, 1}}}}}}},
};

namespace {

const FigureHeader MOSQUITO{FIGURE_MOSQUITO, "mosquito", 5, 0, &MOSQUITO_ANIMATIONS};

const VertexEdits PYRAMID1_EDITS = {
    {1, -0.23, 1.07, -0.23}, {2, 0, -0.38, 0}, {3, 0, 0.42, 0}, {0, 0, 0.42, 0}};
const VertexEdits PYRAMID2_EDITS = {
    {1, -0.03, 0.24, -0.03}, {0, 0.22, -0.43, -0.3}, {4, 0, 3.1, 0}, {2, 0.01, 0.24, -0.05}, {3, 0, 1.05, 0}};
const VertexEdits CUBE1_EDITS = {
    {0, 0, 0.8, 0},         {1, 0, 0.8, 0},         {2, 0, -0.1, 0},         {3, 0, -0.1, 0},
    {4, 0, -0.11, -0.27},   {5, 0, -0.11, -0.27},   {6, 0, -0.71, -0.26},    {7, 0, -0.71, -0.26}};
const VertexEdits CUBE2_EDITS = {
    {0, 0, 0.08, 0},        {1, 0, 0.08, 0},        {2, 0, -0.66, -0.43},    {3, 0, -0.66, -0.43},
    {4, 0, 0.08, 0.26},     {5, 0, 0.08, 0.26},     {6, 0, -0.66, -0.43},    {7, 0, -0.66, -0.43}};

} // namespace

mosquito::mosquito(Ogre::SceneManager* sceneManager, Ogre::SceneNode* rootNode, int instance)
{
    beginFigure(MOSQUITO, sceneManager, rootNode, instance);

    pushNode(); // 1 body pivot
    setScale(0.13, 0.13, 0.13);
    rotateNode(0.35f, 5.09f, 6.53f, 6.2f);
    addPart(SHAPE_PYRAMID, "PYRAMID1", 2); // 2, part 0
    addNodeToGroup(6);
    rotateNode(0.785f, 0, 1, 0);
    editVertices(*this, PYRAMID1_EDITS);
    hangAtFace(4); // 3
    addPart(SHAPE_PYRAMID, "PYRAMID2", 1); // 4, part 1
    addNodeToGroup(6);
    setPosition(-0.16, 0.7, -0.1);
    rotateNode(-1.55f, 0, 1, -0.08f);
    setScale(1, 1, 1);
    editVertices(*this, PYRAMID2_EDITS);

    pushNode(); // 5 lift pivot
    addNodeToGroup(0);
    double lift = randomReal(0.03, 1.86);
    setPosition(0, lift, 0);
    pushNode(); // 6 blade carrier
    addNodeToGroup(1);

    addPart(SHAPE_CUBE, "CUBE1", 2); // 7, part 2: the first blade
    setPosition(0.83, 0, 0.94);
    rotateNode(0.645f, 0, 1, 0);
    setScale(0.13, 1, 1.5);
    editVertices(*this, CUBE1_EDITS);
    hangAtFace(2); // 8
    addPart(SHAPE_CUBE, "CUBE2", 3); // 9, part 3
    addNodeToGroup(12);
    setPosition(0, 0.39, -0.39);
    rotateNode(0.645f, -1, 0, 0);
    setScale(1, 1, 1);
    editVertices(*this, CUBE2_EDITS);

    selectNode(6);
    pushNode(); // 10 second-side carrier
    addNodeToGroup(2);
    pushNode(); // 11 turns the second side half a turn about y
    setScale(-1, 1, -1);
    addPart(SHAPE_CUBE, "CUBE4", 2); // 12, part 4: the second blade
    setPosition(0.87, 0, 0.85);
    rotateNode(0.9f, 0, 1, 0);
    setScale(0.13, 1, 1.5);
    hangAtFace(2); // 13
    addPart(SHAPE_CUBE, "CUBE5", 3); // 14, part 5
    setPosition(0, -0.39, -0.39);
    rotateNode(2.445f, 1, 0, 0);
    setScale(1, 1, 1);

    // One segment more on each side per pass, k = 0, 1, 2.
    repeatRandom(1, 4, [this](int) {
        selectPart(currentPartIndex - 2); // the first side's last outer cube
        pushNode(); // 15 + 8k joint
        addNodeToGroup(3);
        addNodeToGroup(5);
        pushNode(); // 16 + 8k
        setPosition(0, 1, -0.8);
        rotateNode(1, 1, 0, 0);
        addPart(SHAPE_CUBE, "CUBE1", 2); // 17 + 8k
        addPart(SHAPE_CUBE, "CUBE2", 3); // 18 + 8k
        addNodeToGroup(7);
        addNodeToGroup(11);
        setPosition(0, -0.14, -1.06);
        rotateNode(-1.555f, 1, 0, 0);
        setScale(1, 1, 1);

        selectPart(currentPartIndex - 2); // the second side's last outer cube
        pushNode(); // 19 + 8k joint
        addNodeToGroup(4);
        addNodeToGroup(5);
        pushNode(); // 20 + 8k
        addPart(SHAPE_CUBE, "CUBE4", 2); // 21 + 8k
        setPosition(0, 1, -0.8);
        rotateNode(1, -1, 0, 0);
        addPart(SHAPE_CUBE, "CUBE5", 3); // 22 + 8k
        addNodeToGroup(7);
        addNodeToGroup(10);
        setPosition(0, -0.14, -1.06);
        rotateNode(1.555f, 1, 0, 0);
        setScale(1, 1, 1);
    });
}

Model* makeMosquito(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    return new mosquito(sceneManager, root, instance);
}
