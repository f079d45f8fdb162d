#include "figures/e5.h"

#include "figures/e4.h"
#include "figures/sceneryWings.h"

namespace {

constexpr int RING_GROUP = 2;

// Where the ring pyramids stand on their pivots' Y axis.
constexpr double RING_PART_RISE = 13;

// The slide along Y that follows the scale pulse in every window. It is the
// second write of each pyramid in a frame, so it is averaged with where the
// pyramid stands: the pyramids follow these keys rather than take them.
const Key RING_SLIDE[] = {
    {0, {5, 13, 0}}, {800, {5, 18, 0}}, {1500, {5, 25, 0}}, {2000, {5, 13, 0}}};

Track ringPulseAndSlide()
{
    const std::vector<Key>& scale = e4RingScaleKeys();
    std::vector<MultiKey> keys;
    for (std::size_t k = 0; k < scale.size(); ++k)
        keys.push_back({scale[k].ms, {scale[k].value, RING_SLIDE[k].value}});
    return keyframes(RING_GROUP, {SCALE, POSITION}, keys);
}

} // namespace

const AnimationTable& e5Animations()
{
    static const AnimationTable table = {
        // 0: looping motion of the scenery variant
        {ringPulseAndSlide(), sceneryWingTrack()},
    };
    return table;
}

e5::e5(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    const FigureHeader header{FIGURE_E5, "e5", 5, 1, &e5Animations()};
    beginFigure(header, sceneManager, root, instanceNumber);
    RingPart part = E4_RING_PART;
    part.position[1] = RING_PART_RISE;
    buildRingFanScenery(*this, part);
}

Model* makeE5(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new e5(sceneManager, root, instanceNumber);
}
