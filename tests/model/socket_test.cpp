// Sockets hung at faces: where they sit and which way they turn, for a face
// straight below the part, near below it, beside it and through its centre.
#include "tests/model/script_figure_test.h"

#include <OgreSceneNode.h>

#include <cmath>

namespace {

const FigureHeader SOCKETS{FIGURE_TEST1, "sockets", 5, 0, nullptr};

class SocketTest : public ScriptFigureTest {
protected:
    Model* build(const std::function<void(Model&)>& script)
    {
        return buildFigure(SOCKETS, script, int(figures.size()));
    }
};

bool sound(const Ogre::Quaternion& q)
{
    return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) &&
           std::fabs(q.Norm() - 1.0f) < 1e-5f;
}

void expectVec(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The pyramid base with the mosquito body's edits: its centre lies about
// 7.5 degrees off straight down, in the part that made the mesh and in a
// part that found it alike.
void tiltedBase(Model& f)
{
    f.addPart(SHAPE_PYRAMID, "PYRAMID1", 2);
    f.editVertex(1, -0.23, 1.07, -0.23);
    f.editVertex(2, 0, -0.38, 0);
    f.editVertex(3, 0, 0.42, 0);
    f.editVertex(0, 0, 0.42, 0);
    f.hangAtFace(4);
}

} // namespace

// Straight down is the case without a shortest turn. Whatever turns and
// scales (a mirroring one included) lie above the part, the socket gets the
// half turn about its own +Y: +Y stays up, the face centre lies on its -Y.
TEST_F(SocketTest, AFaceStraightBelowKeepsPlusYUpUnderAnyParent)
{
    Model* m = build([](Model& f) {
        f.pushNode();
        f.rotateNode(0.35f, 5.09f, 6.53f, 6.2f);
        f.setScale(-1, 1, -1);
        f.pushNode();
        f.rotateNode(-1.57f, 0, 0, 1);
        f.setScale(0.13, 0.5, 2);
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.rotateNode(3.14f, 0, 1, 0);
        f.hangAtFace(4);
    });
    Ogre::SceneNode* socket = m->currentNode;
    ASSERT_EQ(socket->getParent(), m->parts[0]->node);
    expectVec(socket->getPosition(), Ogre::Vector3(0, -1, 0));
    const Ogre::Quaternion& q = socket->getOrientation();
    ASSERT_TRUE(sound(q)) << q;
    expectVec(q * Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_Y);
    expectVec(q * Ogre::Vector3::UNIT_Z, Ogre::Vector3::NEGATIVE_UNIT_Z);
    expectVec(q * Ogre::Vector3::UNIT_X, Ogre::Vector3::NEGATIVE_UNIT_X);
    // In the world the socket's up is its part's up.
    expectVec(socket->_getDerivedOrientation() * Ogre::Vector3::UNIT_Y,
              m->parts[0]->node->_getDerivedOrientation() * Ogre::Vector3::UNIT_Y, 1e-4f);
}

// A face near straight below follows the same rule as one straight below,
// tilted toward its centre: the part that made the mesh (centre off the
// axis) and the part that found it (centre on the axis) hang what follows
// the same way up, and neither flips it over.
TEST_F(SocketTest, AFaceNearBelowTurnsLikeOneStraightBelow)
{
    Model* m = build([](Model& f) {
        tiltedBase(f);
        tiltedBase(f);
        f.addPart(SHAPE_PYRAMID, "PYRAMID2", 2);
        f.hangAtFace(4);
    });
    ASSERT_TRUE(m->parts[0]->builtMesh);
    ASSERT_FALSE(m->parts[1]->builtMesh);

    Ogre::SceneNode* tilted = m->nodes[2];
    Ogre::Vector3 centre = tilted->getPosition();
    expectVec(centre, Ogre::Vector3(-0.0575f, -0.6175f, -0.0575f));
    const Ogre::Quaternion& q = tilted->getOrientation();
    ASSERT_TRUE(sound(q)) << q;
    expectVec(q * Ogre::Vector3::NEGATIVE_UNIT_Y, centre.normalisedCopy());
    Ogre::Vector3 up = q * Ogre::Vector3::UNIT_Y;
    EXPECT_GT(up.y, 0.99f);

    // The part that found the mesh sockets at the same edited centre, the
    // same way round.
    expectVec(m->nodes[4]->getPosition(), centre);
    EXPECT_GT(std::fabs(q.Dot(m->nodes[4]->getOrientation())), 1 - 1e-5f);

    const Ogre::Quaternion& straight = m->nodes[6]->getOrientation();
    expectVec(m->nodes[6]->getPosition(), Ogre::Vector3(0, -1, 0));
    ASSERT_TRUE(sound(straight)) << straight;
    // The two differ by the small tilt only, not by a half turn.
    EXPECT_GT(std::fabs(q.Dot(straight)), std::cos(0.5 * 8.0 * M_PI / 180.0));
}

// Every other face keeps the engine's shortest turn of +Y toward its centre.
TEST_F(SocketTest, OtherFacesTurnPlusYTowardTheirCentre)
{
    Model* m = build([](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.hangAtFace(1); // (1, 0, 0)
        f.selectPart(0);
        f.hangAtFace(5); // (0, 1, 0)
        f.addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        f.hangAtFace(1); // (2/3, -1/3, 0), a side face a little below level
    });
    for (int index : {2, 3, 5}) {
        Ogre::SceneNode* socket = m->nodes[index];
        const Ogre::Quaternion& q = socket->getOrientation();
        ASSERT_TRUE(sound(q)) << "node " << index << " " << q;
        Ogre::Vector3 centre = socket->getPosition().normalisedCopy();
        expectVec(q * Ogre::Vector3::UNIT_Y, centre);
        // The shortest turn leaves the axis across both directions in place.
        Ogre::Vector3 across = Ogre::Vector3::UNIT_Y.crossProduct(centre);
        if (across.squaredLength() > 1e-6f)
            expectVec(q * across, across);
    }
    EXPECT_TRUE(m->nodes[3]->getOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Radian(1e-5f)));
}

// A face whose centre is the part's own origin gives no direction: the
// socket stays unturned.
TEST_F(SocketTest, AFaceThroughTheOriginLeavesTheSocketUnturned)
{
    Model* m = build([](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        for (int v : {4, 5, 1, 0})
            f.editVertex(v, 0, 1, 0);
        f.hangAtFace(4);
    });
    expectVec(m->currentNode->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_TRUE(m->currentNode->getOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Radian(1e-6f)));
}
