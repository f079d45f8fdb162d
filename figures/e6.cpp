#include "figures/e6.h"

#include "figures/e4.h"
#include "figures/sceneryWings.h"

namespace {

constexpr int RING_GROUP = 2;
constexpr int RING_PIVOT_GROUP = 3;

} // namespace

const RingPart E6_RING_PART = {
    SHAPE_TETRAHEDRON, "TETRAHEDRON0", {1, 0.41f, 0}, RING_PIVOT_GROUP, {0.5, 3, 0.5}, {-2, 11.86, 3.83},
};

const AnimationTable& e6Animations()
{
    static const AnimationTable table = {
        // 0: looping motion of the scenery variant (variants 12, 13 and 15)
        {keyframes(RING_GROUP, POSITION,
                   {{0, {-2, 11.86, 3.83}},
                    {800, {1.44, 11.86, 3.83}},
                    {1500, {10.55, 11.86, 3.83}},
                    {2000, {-2, 11.86, 3.83}}}),
         wingSwingTrack(13)},
        // 1: swing of the tetrahedron pivots, from the turn they were built with
        {keyframes(RING_PIVOT_GROUP, ROTATION,
                   {{0, {-1.7, 1, 0.41, 0}},
                    {800, {1, 1, 0.41, 0}},
                    {1500, {-2, 1, 0.41, 0}},
                    {2000, {-1.7, 1, 0.41, 0}}})},
        // 2: looping motion of the scenery variant 14
        {keyframes(RING_GROUP, POSITION,
                   {{0, {1.42, 8, 0}}, {800, {1.42, 8, -15}}, {1600, {1.42, 8, 18}}, {2400, {1.42, 8, 0}}})},
    };
    return table;
}

e6::e6(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_E6, "e6", 5, 1, &e6Animations()};
    beginFigure(header, sceneManager, root, instanceNumber);
    buildRingFanScenery(*this, E6_RING_PART);
}

Model* makeE6(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new e6(sceneManager, root, instanceNumber);
}
