#include "figures/spike.h"

// Groups: 1, 2, 3 the lower, middle and top column pyramid; 4 the column
// pivot.
const AnimationTable SPIKE_ANIMATIONS = {
    // 0: destruction, the top pyramid sinks first
    {
        keyframes(1, POSITION, {{0, {0, 0, 0}}, {250, {0, 0, 0}}, {500, {0, 0, 0}}, {750, {0, -50, 0}}}),
        keyframes(2, POSITION, {{0, {0, 0.9, 0}}, {250, {0, 0.9, 0}}, {500, {0, -20, 0}}}),
        keyframes(3, POSITION, {{0, {0, 0.5, 0}}, {250, {0, -10, 0}}}),
    },
    // 1: loop, the column rises, stands and sinks back
    {
        keyframes(4, {SCALE, POSITION},
                  {{0, {{0.1, 0.1, 0.1}, {0, -10, 0}}},
                   {500, {{1, 1, 1}, {0, 0, 0}}},
                   {3000, {{1, 1, 1}, {0, 0, 0}}},
                   {3500, {{0.1, 0.1, 0.1}, {0, -10, 0}}}}),
    },
};

namespace {
const FigureHeader SPIKE{FIGURE_SPIKE, "spike", 5, 0, &SPIKE_ANIMATIONS};
}

spike::spike(Ogre::SceneManager* sceneManager, Ogre::SceneNode* rootNode, int instance)
{
    beginFigure(SPIKE, sceneManager, rootNode, instance);

    pushNode(); // 1 spike pivot
    setScale(0.2, 0.2, 0.2);
    addPart(SHAPE_PYRAMID, "PYRAMID1", 2); // 2 base spike, part 0
    setPosition(0, -8, 0);
    setScale(4, 9, 4);
    selectNode(1);

    pushNode(); // 3 column pivot
    addNodeToGroup(4);
    addPart(SHAPE_PYRAMID, "PYRAMID1", 2); // 4 lower column pyramid
    addNodeToGroup(1);
    setScale(1.5, 2.5, 1.5);
    double lowerTurn = randomReal(-1, 1);
    rotateNode(float(lowerTurn), 0, 1, 0);

    addPart(SHAPE_PYRAMID, "PYRAMID1", 2); // 5 middle column pyramid
    addNodeToGroup(2);
    setScale(0.7, 1.5, 0.7);
    double middleTurn = randomReal(-1, 1);
    rotateNode(float(middleTurn), 0, 1, 0);
    setPosition(0, 0.9, 0);

    addPart(SHAPE_PYRAMID, "PYRAMID1", 2); // 6 top column pyramid
    addNodeToGroup(3);
    double topTurn = randomReal(-1, 1);
    rotateNode(float(topTurn), 0, 1, 0);
    setScale(0.7, 1.2, 0.7);
    setPosition(0, 0.5, 0);

    // The base corners of the shared mesh, deformed anew at every build.
    selectPart(0);
    double z = randomReal(-0.4, 0.2);
    double y = randomReal(-0.5, 0.2);
    double x = randomReal(-0.4, 0.2);
    editVertexAlways(0, x, y, z);
    z = randomReal(-0.4, 0.2);
    y = randomReal(-0.5, 0.2);
    x = randomReal(-0.5, -0.2);
    editVertexAlways(1, x, y, z);
    y = randomReal(-0.5, 0.2);
    editVertexAlways(2, 0, y, 0);
    y = randomReal(-1.5, 1.2);
    x = randomReal(-1, -0.3);
    editVertexAlways(3, x, y, 0);
}

Model* makeSpike(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    return new spike(sceneManager, root, instance);
}
