#include "figures/modasteroid.h"

// Groups: 1 the core cube, 2 to 4 the three outer cubes.
const AnimationTable ASTEROID_ANIMATIONS = {
    // 0: destruction, the cubes fly apart and the core shrinks
    {
        keyframes(1, {POSITION, SCALE},
                  {{0, {{0, 0, 0}, {1, 1, 1}}}, {750, {{0, 0, -15}, {0.4, 0.2, 0.5}}}}),
        keyframes(2, POSITION, {{0, {0, 0, 0}}, {750, {12, 15, 0}}}),
        keyframes(3, POSITION, {{0, {0, 0, 0}}, {750, {-17, -12, -3}}}),
        keyframes(4, POSITION, {{0, {0, 0, 0}}, {750, {3, 24, -3}}}),
    },
    // 1: the fourth cube swells and shrinks
    {keyframes(4, SCALE, {{0, {0.3, 0.5, 0.6}}, {300, {0.5, 0.7, 0.9}}, {600, {0.2, 0.5, 0.4}}})},
    // 2: beat pulse and hit reaction, the third cube
    {keyframes(3, SCALE, {{0, {1.4, 0.6, 0.4}}, {300, {1.5, 0.9, 0.5}}, {600, {1.2, 0.5, 0.3}}})},
    // 3: the second cube
    {keyframes(2, SCALE, {{0, {0.9, 0.55, 0.4}}, {300, {1.2, 0.8, 0.7}}, {600, {0.8, 0.5, 0.3}}})},
};

namespace {
// The name carries the instance number, so every asteroid has mesh keys,
// and random corners, of its own.
const FigureHeader ASTEROID{FIGURE_MODASTEROID, "modasteroid", 10, 0, &ASTEROID_ANIMATIONS, true};
} // namespace

void modasteroid::drawScale(const Ranges& r)
{
    double z = randomReal(r.z0, r.z1);
    double y = randomReal(r.y0, r.y1);
    double x = randomReal(r.x0, r.x1);
    setScale(x, y, z);
}

void modasteroid::drawPosition(const Ranges& r)
{
    double z = randomReal(r.z0, r.z1);
    double y = randomReal(r.y0, r.y1);
    double x = randomReal(r.x0, r.x1);
    setPosition(x, y, z);
}

void modasteroid::drawTurn(double angle0, double angle1, const Ranges& axis)
{
    double z = randomReal(axis.z0, axis.z1);
    double y = randomReal(axis.y0, axis.y1);
    double x = randomReal(axis.x0, axis.x1);
    double angle = randomReal(angle0, angle1);
    rotateNode(float(angle), float(x), float(y), float(z));
}

modasteroid::modasteroid(Ogre::SceneManager* sceneManager, Ogre::SceneNode* rootNode, int instance)
{
    beginFigure(ASTEROID, sceneManager, rootNode, instance);
    const Ranges axis{0, 0.5, 0, 0.5, 0, 0.5};
    const Ranges place{-0.8, 0.8, -1.3, 1.3, -0.9, 0.9};

    pushNode(); // 1 body pivot
    setScale(0.5, 0.5, 0.5);
    addPart(SHAPE_CUBE, "CUBE1", 3); // 2 core, part 0
    addNodeToGroup(1);
    drawScale({0.8, 1.4, 1.8, 2.5, 0.9, 1.3});
    // Six corners of the core, z (where it is drawn) before y before x.
    double x, y, z;
    y = randomReal(-0.8, 0.2);
    x = randomReal(-1.3, 0.4);
    editVertexAlways(0, x, y, 0);
    y = randomReal(-0.3, 0.8);
    x = randomReal(-0.4, 0.4);
    editVertexAlways(1, x, y, 0);
    y = randomReal(-0.1, 0.4);
    x = randomReal(-0.5, 0.2);
    editVertexAlways(2, x, y, 0);
    z = randomReal(-0.7, 0.3);
    y = randomReal(-0.5, -0.2);
    editVertexAlways(3, 0, y, z);
    y = randomReal(0, 0.5);
    x = randomReal(-0.4, 0);
    editVertexAlways(4, x, y, 0);
    y = randomReal(-0.8, 0.6);
    x = randomReal(0.3, 0.7);
    editVertexAlways(5, x, y, 0);

    addPart(SHAPE_CUBE, "CUBE0", 2); // 3, part 1
    addNodeToGroup(2);
    drawScale({0.8, 1.2, 0.5, 0.8, 0.3, 1.2});
    drawTurn(-1.7, 1.7, axis);
    drawPosition(place);

    selectPart(0);
    addPart(SHAPE_CUBE, "CUBE0", 2); // 4, part 2
    addNodeToGroup(3);
    drawTurn(-1.7, 1.7, axis);
    drawScale({1.2, 1.4, 0.5, 0.8, 0.3, 0.5});
    drawPosition(place);

    selectPart(0);
    addPart(SHAPE_CUBE, "CUBE0", 2); // 5, part 3
    addNodeToGroup(4);
    drawTurn(-1.7, 1.7, axis);
    drawScale({0.2, 0.4, 0.5, 0.6, 0.4, 1.5});
    drawPosition({-0.8, 0.8, -0.8, 1.2, -0.9, 0.9});
}

Model* makeModasteroid(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance)
{
    return new modasteroid(sceneManager, root, instance);
}
