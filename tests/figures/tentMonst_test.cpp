// The tentacle head: its node tree, the neck chain and the collar's spikes,
// the variant draws of a sixth head, and its animations at window edges.
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include "figures/tentMonst.h"
#include "platform/random.h"

#include <OgreSceneNode.h>

#include <cmath>

namespace {

const FigureShape TENTMONST_SHAPES[] = {
    {"TentacleHead",
     makeTentMonst,
     1,
     26,
     22,
     {13, 0, 8, 1, 0},
     {{2, 10}, {3, 1}, {4, 8}, {9, 1}, {10, 1}},
     // the neck base back on the body pivot; the neck chain; collar, plates
     // and the spikes on each plate after the selects
     {{1, 0}, {2, 1}, {3, 1}, {4, 3}, {5, 4}, {13, 12}, {14, 13}, {15, 14}, {16, 15}, {17, 16}, {18, 16},
      {19, 16}, {20, 16}, {21, 16}, {22, 21}, {23, 21}, {24, 21}, {25, 21}},
     {"tentMonst1SPHERE0", "tentMonst1CUBE0", "tentMonst1TETRAHEDRON0"}},
};

bool sameTurn(const Ogre::Quaternion& a, const Ogre::Quaternion& b, float tolerance = 1e-5f)
{
    return std::fabs(std::fabs(a.Dot(b)) - 1.0f) < tolerance;
}

const int NECK_BASE = 3;
const int FIRST_NECK_SEGMENT = 4;
const int LAST_NECK_SEGMENT = 13;
const int COLLAR = 14;

} // namespace

INSTANTIATE_TEST_SUITE_P(TentMonst, FigureStructure, ::testing::ValuesIn(TENTMONST_SHAPES),
                         figureShapeName);

class TentMonstTest : public FigureTest {
protected:
    void SetUp() override
    {
        FigureTest::SetUp();
        m = build(makeTentMonst);
    }
    const Ogre::Quaternion& turn(int node) const { return m->nodes[node]->getOrientation(); }

    Model* m = nullptr;
};

TEST_F(TentMonstTest, NeckChainAndCollarSpikes)
{
    for (int i = FIRST_NECK_SEGMENT; i <= LAST_NECK_SEGMENT; ++i) {
        expectNear(m->nodes[i]->getPosition(), Ogre::Vector3(0, 1.5f, 0), 1e-6f);
        expectNear(m->nodes[i]->getScale(), Ogre::Vector3(0.95f, 1.1f, 0.95f), 1e-6f);
    }
    EXPECT_NEAR(m->nodes[LAST_NECK_SEGMENT]->_getDerivedScale().y /
                    m->nodes[FIRST_NECK_SEGMENT]->_getDerivedScale().y,
                std::pow(1.1, 9), 1e-4);
    const Ogre::Vector3 corners[4] = {{-0.7f, 1, -0.7f}, {0.7f, 1, 0.7f}, {-0.7f, 1, 0.7f}, {0.7f, 1, -0.7f}};
    for (int plate : {0, 1})
        for (int k = 0; k < 4; ++k) {
            Ogre::SceneNode* spike = m->nodes[17 + 5 * plate + k];
            expectNear(spike->getPosition(), corners[k], 1e-6f);
            expectNear(spike->getScale(), Ogre::Vector3(0.3f, 0.4f, 0.3f), 1e-6f);
        }
    EXPECT_TRUE(sameTurn(turn(21), rotationOf(0.85, 0, 1, 0)));
    EXPECT_TRUE(sameTurn(turn(1), rotationOf(1.57, 1, 0, 0)));
    EXPECT_EQ(m->currentPartIndex, 21);
    EXPECT_EQ(m->currentNode, m->nodes[25]);
    EXPECT_EQ(m->nodeCount, 26);

    // one cube mesh and one tetrahedron mesh, made by their first parts
    for (std::size_t i = 0; i < m->parts.size(); ++i) {
        bool maker = i == 0 || i == 1 || i == 13;
        EXPECT_EQ(m->parts[i]->builtMesh, maker) << "part " << i;
    }
}

// From the sixth head on each part draws its variant as its key is formed,
// in part order; nothing else draws.
TEST_F(TentMonstTest, SixthHeadDrawsAVariantPerPartInOrder)
{
    for (int i = 0; i < 4; ++i)
        build(makeTentMonst);
    plat::srand(11);
    std::vector<std::string> keys;
    auto draw = [&keys](const char* partKey, int count) {
        for (int i = 0; i < count; ++i)
            keys.push_back("tentMonst" + std::to_string(randomInt(1, 5)) + partKey);
    };
    draw("SPHERE0", 1);
    draw("CUBE0", 12); // neck, collar cube, plate
    draw("TETRAHEDRON0", 4);
    draw("CUBE0", 1);
    draw("TETRAHEDRON0", 4);
    int afterwards = plat::rand();

    plat::srand(11);
    Model* sixth = build(makeTentMonst);
    EXPECT_EQ(meshKeys(*sixth), keys);
    EXPECT_EQ(plat::rand(), afterwards);
}

// Every neck segment takes the same turn, so the tenth is turned by all ten.
TEST_F(TentMonstTest, IdleSwayBendsTheWholeNeck)
{
    m->playAnimation(TENTMONST_IDLE, true, 0);
    m->update(375); // halfway to (0.2; 1, 0, 1)
    Ogre::Quaternion q = rotationOf(0.1, 1, 0, 0.5);
    Ogre::Quaternion bend = Ogre::Quaternion::IDENTITY;
    for (int i = 0; i < 10; ++i)
        bend = bend * q;
    Ogre::Quaternion relative =
        m->nodes[NECK_BASE]->_getDerivedOrientation().Inverse() * m->nodes[LAST_NECK_SEGMENT]->_getDerivedOrientation();
    EXPECT_TRUE(sameTurn(relative, bend, 1e-4f));

    m->update(750); // key time: nothing written
    EXPECT_TRUE(sameTurn(turn(FIRST_NECK_SEGMENT), q));
}

// The spin of the neck base ends at 1700 ms; the neck and collar go on to
// 2700 ms, and the animation ends only then.
TEST_F(TentMonstTest, FiringSpinEndsBeforeTheRecoil)
{
    m->playAnimation(TENTMONST_FIRED, false, 0);
    m->update(0);
    expectNear(m->nodes[FIRST_NECK_SEGMENT]->getPosition(), Ogre::Vector3(0, 1.5f, 0), 1e-6f);
    m->update(1699);
    Ogre::Quaternion spun = turn(NECK_BASE);
    m->update(1701);
    EXPECT_TRUE(m->animations[TENTMONST_FIRED].trackDone[0]);
    EXPECT_FALSE(m->animations[TENTMONST_FIRED].trackDone[1]);
    m->update(2150); // recoil: collar halfway from (1.5, 0.4, 1.5) to (4.5, 4.4, 4.5)
    EXPECT_EQ(turn(NECK_BASE), spun);
    expectNear(m->nodes[COLLAR]->getScale(), Ogre::Vector3(3, 2.4f, 3), 1e-5f);
    m->update(2700);
    EXPECT_TRUE(m->isAnimating());
    m->update(2701);
    EXPECT_TRUE(m->isAnimating());
    m->update(2702);
    EXPECT_FALSE(m->isAnimating());
}

TEST_F(TentMonstTest, HitFlaresCollarAndSpikes)
{
    m->playAnimation(TENTMONST_DAMAGED, false, 0);
    m->update(125);
    expectNear(m->nodes[COLLAR]->getScale(), Ogre::Vector3(3.15f, 0.6f, 3.15f), 1e-5f);
    expectNear(m->nodes[25]->getScale(), Ogre::Vector3(0.35f, 0.8f, 0.35f), 1e-5f);
    m->update(250); // key time
    expectNear(m->nodes[COLLAR]->getScale(), Ogre::Vector3(3.15f, 0.6f, 3.15f), 1e-5f);
}

TEST_F(TentMonstTest, DestructionBurstsTheSphereAndFinishes)
{
    m->playAnimation(TENTMONST_DESTRUCTION, false, 0);
    m->update(2150); // 2100..2200, s = 0.5
    expectNear(m->nodes[2]->getScale(), Ogre::Vector3(15.75f, 5, 15.75f), 1e-4f);
    expectNear(m->nodes[FIRST_NECK_SEGMENT]->getPosition(), Ogre::Vector3(2.5f, 27.75f, -3), 1e-4f);
    m->update(2200);
    m->update(2201);
    EXPECT_FALSE(m->finished);
    m->update(2202);
    EXPECT_TRUE(m->finished);
}

TEST_F(TentMonstTest, AnimationTableHasTheTrackCountsOfItsHeader)
{
    std::vector<std::int32_t> tracks;
    for (const AnimationState& a : m->animations)
        tracks.push_back(a.trackCount);
    EXPECT_EQ(tracks, (std::vector<std::int32_t>{2, 1, 2, 3}));
    EXPECT_EQ(m->name, "tentMonst");
    EXPECT_EQ(m->variantLimit, 5);
    EXPECT_EQ(m->paletteKind, 0);
}
