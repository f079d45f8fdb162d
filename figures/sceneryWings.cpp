#include "figures/sceneryWings.h"

#include "model/Model.h"

namespace {

constexpr int WING_GROUP = 4;
constexpr int WINGS = 3;

// Where each wing's cube stands on its pivot's Y axis.
constexpr double FIRST_CUBE_RISE = 55;
constexpr double LATER_CUBE_RISE = 15;

} // namespace

void buildSceneryWings(Model& m, const WingStretch& stretch)
{
    for (int wing = 0; wing < WINGS; ++wing) {
        m.pushNode();
        m.setPosition(0, 0, -125);
        m.rotateNode(1.1f, 0, 0, 1);
        m.addNodeToGroup(WING_GROUP);
        m.addPart(SHAPE_CUBE, "CUBE1", 3);
        m.rotateNode(-1.7f, 1, 0, 1);
        m.setPosition(0, wing == 0 ? FIRST_CUBE_RISE : LATER_CUBE_RISE, 0);
        m.addPart(SHAPE_PYRAMID, "PYRAMID5", 1);
        m.setPosition(0, 3, 0);
        m.setScale(1, wing == 0 ? stretch.firstWing : stretch.laterWings, 1);
        m.addPart(SHAPE_PYRAMID, "PYRAMID5", 1);
        m.setPosition(0, 3, 0);
        m.setScale(1, 3, 1);
        // back to this wing's cube: the next wing hangs from it
        m.selectNode(m.currentNodeIndex - 2);
    }
}

Track wingSwingTrack(double angleAt800)
{
    return keyframes(WING_GROUP, ROTATION,
                     {{0, {0, 0, 0, 1}},
                      {800, {angleAt800, 1, 0, 1}},
                      {1500, {14, 1, 0, 1}},
                      {2000, {0, 1, 0, 1}}});
}

const Track& sceneryWingTrack()
{
    static const Track track = wingSwingTrack(-3);
    return track;
}
