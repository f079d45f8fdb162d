#include "figures/er.h"

#include "figures/e2.h"

namespace {

constexpr int BASE_GROUP = 1;
constexpr int RING_GROUP = 2;
constexpr int WING_GROUP = 4;

} // namespace

const AnimationTable& erAnimations()
{
    static const AnimationTable table = {
        // 0: turning motion
        {keyframes(BASE_GROUP, ROTATION, {{0, {0, 0, 0, 1}}, {1500, {1.5, 0, 0, 1}}, {2000, {0, 0, 0, 1}}}),
         keyframes(RING_GROUP, ROTATION, {{0, {0, 0, 0, 1}}, {1500, {5, 0, 0, 1}}, {2000, {0, 0, 0, 1}}})},
        // 1: pulse of the tetrahedra, from the scale they were built with
        {keyframes(RING_GROUP, SCALE, {{0, {0.5, 0.3, 4}}, {250, {1, 0.3, 4}}, {500, {0.5, 0.3, 4}}})},
        // 2: swing of the wing; the move is the wing pivot's second write
        {keyframes(WING_GROUP, {ROTATION, POSITION},
                   {{0, {{0, 0, 0, 1}, {0, 0, -75}}},
                    {1500, {{24, 1, 0, 1}, {-5, 15, -45}}},
                    {2000, {{0, 0, 0, 1}, {0, 0, -75}}}})},
    };
    return table;
}

er::er(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_ER, "er", 5, 1, &erAnimations()};
    beginFigure(header, sceneManager, root, instanceNumber);
    buildTetraSpiralScenery(*this, 0);
}

Model* makeEr(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new er(sceneManager, root, instanceNumber);
}
