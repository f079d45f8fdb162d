#include "figures/e2.h"

namespace {

constexpr int BASE_GROUP = 1;
constexpr int RING_GROUP = 2;
constexpr int WING_GROUP = 4;
constexpr int RINGS = 9;
constexpr int TETRAHEDRA_PER_RING = 5;

constexpr double E2_RING_RISE = 3;

} // namespace

void buildTetraSpiralScenery(Model& m, double ringRise)
{
    m.pushNode(); // base pivot
    m.addNodeToGroup(BASE_GROUP);
    m.pushNode(); // wing pivot
    m.setPosition(0, 0, -75);
    m.addNodeToGroup(WING_GROUP);
    m.addPart(SHAPE_CUBE, "CUBE1", 3);
    m.rotateNode(-1.7f, 1, 0, 1);
    m.setPosition(0, 65, 0);
    // the second pyramid below the first, in its stretched frame
    m.repeat(2, [&](int) {
        m.addPart(SHAPE_PYRAMID, "PYRAMID5", 1);
        m.setPosition(0, 3, 0);
        m.setScale(1, 3, 1);
    });

    m.selectNode(1); // the rings hang from the base pivot
    m.repeat(RINGS, [&](int) {
        m.pushNode(); // ring pivot: each a further turn about Z
        m.rotateNode(0.7f, 0, 0, 1);
        if (ringRise != 0)
            m.setPosition(0, 0, ringRise);
        m.pushNode(); // ring arm
        m.setPosition(0, 5, 10);
        // each tetrahedron below the one before, so the scales compound
        m.repeat(TETRAHEDRA_PER_RING, [&](int) {
            m.addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON0", 0);
            m.setScale(0.5, 0.3, 4);
            m.setPosition(0, 0, -3);
            m.addNodeToGroup(RING_GROUP);
        });
        m.selectNode(m.currentNodeIndex - 6); // this ring's pivot
    });
}

const AnimationTable& e2Animations()
{
    static const AnimationTable table = {
        // 0: turning motion; the factory starts none on an e2
        {keyframes(BASE_GROUP, ROTATION, {{0, {0, 0, 0, 1}}, {1500, {4, 0, 0, 1}}, {2000, {0, 0, 0, 1}}}),
         keyframes(RING_GROUP, ROTATION, {{0, {0, 0, 0, 1}}, {1500, {15, 0, 0, 1}}, {2000, {0, 0, 0, 1}}}),
         keyframes(WING_GROUP, ROTATION, {{0, {0, 0, 0, 1}}, {1500, {14, 1, 0, 1}}, {2000, {0, 1, 0, 1}}})},
    };
    return table;
}

e2::e2(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    // The name carries the instance number, but the meshes are keyed by the
    // class and variant: one e2 per background marker would otherwise build
    // three meshes of its own that stay until the manager goes.
    FigureHeader header{FIGURE_E2, "e2", 10, 1, &e2Animations()};
    header.nameWithInstance = true;
    header.meshKeysWithInstance = false;
    beginFigure(header, sceneManager, root, instanceNumber);
    buildTetraSpiralScenery(*this, E2_RING_RISE);
}

Model* makeE2(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new e2(sceneManager, root, instanceNumber);
}
