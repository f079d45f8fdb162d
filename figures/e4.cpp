#include "figures/e4.h"

#include "figures/sceneryWings.h"

namespace {

constexpr int BASE_GROUP = 1;
constexpr int RING_GROUP = 2;
constexpr int RINGS = 12;
constexpr int PARTS_PER_RING = 3;

} // namespace

const RingPart E4_RING_PART = {
    SHAPE_PYRAMID, "PYRAMID0", {1, 0, 0}, 0, {1, 3, 1}, {5, 1, 0},
};

void buildRingFanScenery(Model& m, const RingPart& part)
{
    m.pushNode(); // base pivot
    m.addNodeToGroup(BASE_GROUP);
    buildSceneryWings(m, {4, 5});

    m.selectNode(1); // the rings hang from the base pivot
    m.repeat(RINGS, [&](int) {
        m.pushNode(); // ring pivot: each a further turn and step up the spiral
        m.rotateNode(0.7f, 0, 0, 1);
        m.setPosition(0, 0, 3);
        m.pushNode(); // ring arm
        m.setPosition(0, 5, 10);
        m.repeat(PARTS_PER_RING, [&](int) {
            // each pivot below the one before, so the turns add up along
            // the fan while each part keeps its own scale
            m.pushNode();
            m.rotateNode(-1.7f, part.pivotAxis[0], part.pivotAxis[1], part.pivotAxis[2]);
            if (part.pivotGroup)
                m.addNodeToGroup(part.pivotGroup);
            m.addPart(part.kind, part.partKey, 0);
            m.setScale(part.scale[0], part.scale[1], part.scale[2]);
            m.setPosition(part.position[0], part.position[1], part.position[2]);
            m.addNodeToGroup(RING_GROUP);
            m.selectNode(m.currentNodeIndex - 1); // the part's pivot
        });
        m.selectNode(m.currentNodeIndex - 6); // this ring's pivot
    });
}

const std::vector<Key>& e4RingScaleKeys()
{
    static const std::vector<Key> keys = {
        {0, {1, 3, 1}}, {800, {3, 1, 1}}, {1500, {1, 2, 2}}, {2000, {1, 3, 1}}};
    return keys;
}

const AnimationTable& e4Animations()
{
    static const AnimationTable table = {
        // 0: looping motion of the scenery variant
        {keyframes(RING_GROUP, SCALE, e4RingScaleKeys()), sceneryWingTrack()},
    };
    return table;
}

e4::e4(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_E4, "e4", 5, 1, &e4Animations()};
    beginFigure(header, sceneManager, root, instanceNumber);
    buildRingFanScenery(*this, E4_RING_PART);
}

Model* makeE4(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new e4(sceneManager, root, instanceNumber);
}
