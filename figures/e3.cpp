#include "figures/e3.h"

#include "figures/sceneryWings.h"

namespace {

constexpr int BASE_GROUP = 1;
constexpr int RING_GROUP = 2;
constexpr int RINGS = 15;
constexpr int PYRAMIDS_PER_RING = 3;

} // namespace

const AnimationTable& e3Animations()
{
    static const AnimationTable table = {
        // 0: looping motion of the scenery variant
        {keyframes(RING_GROUP, POSITION,
                   {{0, {1, 0, 0}}, {800, {-8, 0, 0}}, {1500, {3, 0, 0}}, {2000, {1, 0, 0}}}),
         sceneryWingTrack()},
    };
    return table;
}

e3::e3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_E3, "e3", 5, 1, &e3Animations()};
    beginFigure(header, sceneManager, root, instanceNumber);

    pushNode(); // base pivot
    addNodeToGroup(BASE_GROUP);
    buildSceneryWings(*this, {3, 3});

    selectNode(1); // the rings hang from the base pivot
    repeat(RINGS, [&](int) {
        pushNode(); // ring pivot: each a further turn and step up the spiral
        rotateNode(0.7f, 0, 0, 1);
        setPosition(0, 0, 3);
        pushNode(); // ring arm
        setPosition(0, 5, 10);
        // each pyramid below the one before, so the scales compound
        repeat(PYRAMIDS_PER_RING, [&](int) {
            addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
            setScale(3, 0.3, 1);
            setPosition(1, 0, 0);
            addNodeToGroup(RING_GROUP);
        });
        selectNode(currentNodeIndex - 4); // this ring's pivot
    });
}

Model* makeE3(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new e3(sceneManager, root, instanceNumber);
}
