// The tentacle: its node table and groups, the chain at rest, and its
// animations where groups meet, at key times and at the jumps of the hit
// reaction.
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include "figures/ten1.h"
#include "platform/random.h"

#include <OgreSceneNode.h>

#include <cmath>

namespace {

const FigureShape TEN1_SHAPES[] = {
    {"Tentacle",
     makeTen1,
     1,
     37,
     19,
     {17, 1, 1, 0, 0},
     {{1, 8}, {2, 9}, {3, 1}, {5, 1}, {8, 1}},
     // head, stalk and anchor; the first base socket; base segment 8 and the
     // tip segment inside it; the first tip socket; the tip pivot and spike
     {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {18, 17}, {19, 18}, {20, 19}, {21, 20},
      {22, 21}, {34, 33}, {35, 34}, {36, 35}},
     {"ten11PYRAMID0", "ten11CUBE0", "ten11TETRAHEDRON0"}},
};

Ogre::Vector3 positionIn(Ogre::SceneNode* frame, Ogre::SceneNode* node)
{
    return frame->convertWorldToLocalPosition(node->_getDerivedPosition());
}

bool sameTurn(const Ogre::Quaternion& a, const Ogre::Quaternion& b, float tolerance = 1e-5f)
{
    return std::fabs(std::fabs(a.Dot(b)) - 1.0f) < tolerance;
}

std::vector<int> members(const Model& m, int group)
{
    std::vector<int> nodes;
    auto range = m.groups.equal_range(group);
    for (auto it = range.first; it != range.second; ++it)
        nodes.push_back(it->second);
    return nodes;
}

const int BASE_SEGMENT_1 = 5;
const int BASE_SEGMENT_8 = 19;
const int TIP_SOCKET_2 = 21;
const int STALK = 3;

} // namespace

INSTANTIATE_TEST_SUITE_P(Ten1, FigureStructure, ::testing::ValuesIn(TEN1_SHAPES), figureShapeName);

class Ten1Test : public FigureTest {
protected:
    void SetUp() override
    {
        FigureTest::SetUp();
        m = build(makeTen1);
    }
    const Ogre::Quaternion& turn(int node) const { return m->nodes[node]->getOrientation(); }
    const Ogre::Vector3& scale(int node) const { return m->nodes[node]->getScale(); }

    Model* m = nullptr;
};

// Blending order depends on the order of tagging: base segment 8 leads the
// tip joints.
TEST_F(Ten1Test, GroupsHoldTheirNodesInChainOrder)
{
    EXPECT_EQ(members(*m, TEN1_BASE_SEGMENTS), (std::vector<int>{5, 7, 9, 11, 13, 15, 17, 19}));
    EXPECT_EQ(members(*m, TEN1_TIP_JOINTS), (std::vector<int>{19, 21, 23, 25, 27, 29, 31, 33, 35}));
    EXPECT_EQ(members(*m, TEN1_TIP_SPIKE), std::vector<int>{36});
    EXPECT_EQ(members(*m, TEN1_STALK), std::vector<int>{3});
    EXPECT_EQ(members(*m, TEN1_HEAD), std::vector<int>{1});
}

// At rest the whole tentacle lies on the head pivot's Y axis, each segment
// 0.8 as long as the one before; the head turns it to hang along -Y.
TEST_F(Ten1Test, AtRestTheChainRunsUpTheHeadAxisAndHangsDown)
{
    Ogre::SceneNode* head = m->nodes[1];
    const std::pair<int, float> alongAxis[] = {
        {4, 2.0f}, {BASE_SEGMENT_1, 2.3f}, {6, 3.5f}, {8, 4.7f}, {TIP_SOCKET_2, 8.2417088f}, {35, 8.9950143f}};
    for (const auto& p : alongAxis)
        expectNear(positionIn(head, m->nodes[p.first]), Ogre::Vector3(0, p.second, 0), 2e-5f);
    for (int i = 4; i < 37; ++i) {
        Ogre::Vector3 p = positionIn(head, m->nodes[i]);
        EXPECT_NEAR(p.x, 0, 1e-4f) << "node " << i;
        EXPECT_NEAR(p.z, 0, 1e-4f) << "node " << i;
    }
    // sockets sit on the +Y face centre and are not turned
    for (int socket = 6; socket <= 18; socket += 2) {
        expectNear(m->nodes[socket]->getPosition(), Ogre::Vector3(0, 1, 0), 1e-6f);
        EXPECT_TRUE(sameTurn(turn(socket), Ogre::Quaternion::IDENTITY)) << "socket " << socket;
    }
    for (int socket = 21; socket <= 33; socket += 2)
        EXPECT_TRUE(sameTurn(turn(socket), Ogre::Quaternion::IDENTITY)) << "socket " << socket;
    // tip segment 1 lies inside base segment 8, their top faces together
    expectNear(m->nodes[20]->getPosition(), Ogre::Vector3(0, 0.2f, 0), 1e-6f);
    // the segment at the tip: 0.8^15 of base segment 1's 1.2
    EXPECT_NEAR(m->nodes[34]->_getDerivedScale().y / m->nodes[BASE_SEGMENT_1]->_getDerivedScale().y,
                std::pow(0.8, 15), 1e-6);

    Ogre::Vector3 tip = positionIn(m->root, m->nodes[35]);
    EXPECT_LT(tip.y, -17.9f);
    EXPECT_NEAR(Ogre::Vector2(tip.x, tip.z).length(), 0, 0.1f);
}

// Base segment 8 is in both groups: the tip track's writes to it are later
// writes and are averaged; the other tip joints take them as they are.
TEST_F(Ten1Test, BaseSegmentEightBlendsTheTipTrackIntoTheBaseTrack)
{
    m->playAnimation(TEN1_FIRED, false, 0);
    m->update(0);
    Ogre::Quaternion base = rotationOf(-1.7, 1, 0, 0), tip = rotationOf(-1.7, 1, 0, 1);
    EXPECT_TRUE(sameTurn(turn(BASE_SEGMENT_1), base));
    EXPECT_TRUE(sameTurn(turn(TIP_SOCKET_2), tip));
    EXPECT_TRUE(sameTurn(turn(BASE_SEGMENT_8), blendRotation(tip, base, 1)));
    EXPECT_FALSE(sameTurn(turn(BASE_SEGMENT_8), base, 1e-3f));
    // scale: the third write of base segment 8, the second of a socket
    expectNear(scale(BASE_SEGMENT_8), Ogre::Vector3(0.9f, 2.8f / 3, 0.9f), 1e-6f);
    expectNear(scale(TIP_SOCKET_2), Ogre::Vector3(1, 1.1f, 1), 1e-6f);
    expectNear(scale(BASE_SEGMENT_1), Ogre::Vector3(0.85f, 0.8f, 0.85f), 1e-6f);
}

// The power shot curls the base from the other side; the stalk swings alike.
TEST_F(Ten1Test, PowerShotPlaysItsOwnCurl)
{
    for (int id : {TEN1_FIRED, TEN1_POWER_SHOT}) {
        double side = id == TEN1_FIRED ? -1 : 1;
        m->playAnimation(id, false, 1000);
        m->update(1000);
        EXPECT_TRUE(sameTurn(turn(BASE_SEGMENT_1), rotationOf(side * 1.7, 1, 0, 0))) << id;
        EXPECT_TRUE(sameTurn(turn(TIP_SOCKET_2), rotationOf(side * 1.7, 1, 0, 1))) << id;
        m->update(1350);
        EXPECT_TRUE(sameTurn(turn(BASE_SEGMENT_1), rotationOf(side * 0.75, 1, 0, 0))) << id;
        EXPECT_TRUE(sameTurn(turn(STALK), rotationOf(0.75, 0, 0, 1))) << id;
        m->update(2999);
        EXPECT_TRUE(m->isAnimating());
        m->update(3001);
        m->update(3002);
        EXPECT_FALSE(m->isAnimating()) << id;
    }
}

TEST_F(Ten1Test, DestructionWritesNothingAtKeyTimesAndFinishes)
{
    m->playAnimation(TEN1_DESTRUCTION, false, 0);
    m->update(999);
    Ogre::Quaternion before = turn(BASE_SEGMENT_1);
    Ogre::Vector3 tipAt = m->nodes[TIP_SOCKET_2]->getPosition();
    for (int key : {1000, 1500, 2500, 4000}) {
        m->update(key - 1);
        before = turn(BASE_SEGMENT_1);
        tipAt = m->nodes[TIP_SOCKET_2]->getPosition();
        m->update(key);
        EXPECT_EQ(turn(BASE_SEGMENT_1), before) << key;
        EXPECT_EQ(m->nodes[TIP_SOCKET_2]->getPosition(), tipAt) << key;
    }
    EXPECT_FALSE(m->animations[0].trackDone[3]);
    // the sockets have left the face centres of the build
    EXPECT_GT(tipAt.distance(Ogre::Vector3(0, 1, 0)), 10.0f);
    m->update(4001);
    EXPECT_FALSE(m->finished);
    m->update(4002);
    EXPECT_TRUE(m->finished);
}

// The hit reaction runs the first stretch of the twist, jumps to its end
// pose, holds it and returns; at 450, 650 and 750 ms nothing is written.
TEST_F(Ten1Test, HitReactionJumpsAndHoldsAtItsWindowEdges)
{
    m->playAnimation(TEN1_DAMAGED, false, 0);
    m->update(449);
    Ogre::Quaternion halfway = turn(BASE_SEGMENT_1);
    EXPECT_TRUE(sameTurn(halfway, rotationOf(-0.02, 0.7, -0.4, 1), 1e-3f));
    m->update(450);
    EXPECT_EQ(turn(BASE_SEGMENT_1), halfway);
    m->update(451);
    EXPECT_TRUE(sameTurn(turn(BASE_SEGMENT_1), rotationOf(1.06, 1, -0.68, 0)));
    EXPECT_TRUE(sameTurn(turn(TIP_SOCKET_2), rotationOf(-1, -0.58, -1, -1.2)));
    EXPECT_TRUE(sameTurn(turn(STALK), rotationOf(1.39, 0, 0, 1)));
    m->update(649);
    EXPECT_TRUE(sameTurn(turn(STALK), rotationOf(1.39, 0, 0, 1)));
    m->update(650);
    m->update(700); // halfway back
    EXPECT_TRUE(sameTurn(turn(STALK), rotationOf(0.695, 0, 0, 1)));
    m->update(749);
    Ogre::Quaternion last = turn(STALK);
    m->update(750);
    EXPECT_EQ(turn(STALK), last);
    m->update(751);
    EXPECT_TRUE(m->isAnimating());
    m->update(752);
    EXPECT_FALSE(m->isAnimating());
}

// The twist ends where the untwist starts.
TEST_F(Ten1Test, TwistEndsInTheUntwistsFirstPose)
{
    m->playAnimation(TEN1_TWIST, false, 0);
    m->update(1149);
    Ogre::Quaternion twisted = turn(STALK);
    Ogre::Vector3 stalkScale = scale(STALK);
    m->playAnimation(TEN1_UNTWIST, false, 2000);
    m->update(2000);
    EXPECT_TRUE(sameTurn(turn(STALK), twisted, 1e-4f));
    // the scale follows the turn in the same track: averaged with the present
    EXPECT_NEAR(scale(STALK).y, (2.61f + stalkScale.y) / 2, 1e-5f);
    m->update(2749);
    m->update(3149);
    EXPECT_TRUE(sameTurn(turn(STALK), Ogre::Quaternion::IDENTITY, 1e-4f));
}

TEST_F(Ten1Test, IdsOutsideTheTableDoNothing)
{
    m->playAnimation(TEN1_IDLE, true, 0);
    m->update(100);
    Ogre::Quaternion before = turn(BASE_SEGMENT_1);
    m->animate(7, 700);
    m->animate(-1, 700);
    m->startAnimation(7, true, 0);
    EXPECT_EQ(turn(BASE_SEGMENT_1), before);
    EXPECT_EQ(m->activeAnimations, std::vector<std::int32_t>{TEN1_IDLE});
}

TEST_F(Ten1Test, AnimationTableHasTheTrackCountsOfItsHeader)
{
    std::vector<std::int32_t> tracks;
    for (const AnimationState& a : m->animations)
        tracks.push_back(a.trackCount);
    EXPECT_EQ(tracks, (std::vector<std::int32_t>{4, 3, 3, 3, 3, 3, 3}));
    EXPECT_EQ(m->name, "ten1");
    EXPECT_EQ(m->variantLimit, 5);
    EXPECT_EQ(m->paletteKind, 0);
}
