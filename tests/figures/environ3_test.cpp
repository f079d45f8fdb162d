// environ3: 48 nodes, 37 cubes on one mesh, a chain of nine stems each with
// three chain cubes; its one animation swings the root and the stems.
#include "tests/figures/figure_fixture.h"

#include "figures/environ3.h"

#include <cmath>

namespace {

// Node k of stem pass p: socket 3 + 5p, stem 4 + 5p, chain 5 + 5p .. 7 + 5p.
const FigureShape ENVIRON3_SHAPES[] = {
    {"environ3", makeEnviron3, 1, 48, 37, {37, 0, 0, 0, 0}, {{1, 1}, {2, 9}, {3, 27}},
     {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, // pass 0 hangs on the first cube
      {8, 4}, {9, 8}, {10, 9},                                // pass 1 on stem 0
      {43, 39}, {44, 43}, {45, 44}, {47, 46}},                // pass 8 on stem 7
     {"environ31CUBE0"}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Environ3, FigureStructure, ::testing::ValuesIn(ENVIRON3_SHAPES), figureShapeName);

class Environ3Test : public FigureTest {
protected:
    static void expectAngleAboutZ(const Ogre::SceneNode* node, double angle)
    {
        Ogre::Quaternion q = node->getOrientation();
        Ogre::Quaternion want(Ogre::Radian(Ogre::Real(angle)), Ogre::Vector3::UNIT_Z);
        EXPECT_NEAR(q.w, want.w, 1e-4);
        EXPECT_NEAR(q.z, want.z, 1e-4);
        EXPECT_NEAR(q.x, 0, 1e-6);
        EXPECT_NEAR(q.y, 0, 1e-6);
    }
    void expectStems(const Model& m, double angle)
    {
        for (int pass = 0; pass < 9; ++pass)
            expectAngleAboutZ(m.nodes[4 + 5 * pass], angle);
    }
};

TEST_F(Environ3Test, BuildPlacesSocketsOnTheMinusXFaceAndAllPartsShareOneMesh)
{
    Model* m = build(makeEnviron3);
    EXPECT_EQ(m->nodes[0]->getPosition(), Ogre::Vector3(0, 0, -20));
    EXPECT_EQ(m->nodes[1]->getPosition(), Ogre::Vector3(-5, 8, 0));
    EXPECT_EQ(m->nodes[2]->getScale(), Ogre::Vector3(0.4f, 5, 1));
    for (int pass = 0; pass < 9; ++pass) {
        EXPECT_EQ(m->nodes[3 + 5 * pass]->getPosition(), Ogre::Vector3(-1, 0, 0)) << "socket " << pass;
        EXPECT_EQ(m->nodes[4 + 5 * pass]->getPosition(), Ogre::Vector3(0, 3.5f, 4));
        EXPECT_EQ(m->nodes[7 + 5 * pass]->getScale(), Ogre::Vector3(1, 0.5f, 3));
        EXPECT_EQ(m->nodes[7 + 5 * pass]->getOrientation(), Ogre::Quaternion::IDENTITY);
    }
    expectStems(*m, 0.76);
    for (const std::string& key : meshKeys(*m))
        EXPECT_EQ(key, "environ31CUBE0");
    EXPECT_EQ(m->animationCount, 1);
    EXPECT_EQ(m->animations[0].trackCount, 2);
}

// The windows' ends: 0 writes the first key, 5000 and 5800 write nothing,
// past 5800 the tracks only set their flags and the next frame ends it.
TEST_F(Environ3Test, SwingAtItsWindowBoundaries)
{
    Model* m = build(makeEnviron3);
    const int start = 1000;
    m->startAnimation(0, false, start);

    m->update(start);
    expectAngleAboutZ(m->root, -1.7);
    expectStems(*m, 0.76);

    m->update(start + 2500);
    expectAngleAboutZ(m->root, 0.0);
    expectStems(*m, (0.76 + 1.5) / 2);

    m->update(start + 4999);
    Ogre::Quaternion before = m->root->getOrientation();
    m->update(start + 5000);
    EXPECT_EQ(m->root->getOrientation(), before);

    m->update(start + 5400);
    expectAngleAboutZ(m->root, 0.0);
    expectStems(*m, (0.76 + 1.5) / 2);

    m->update(start + 5799);
    before = m->root->getOrientation();
    m->update(start + 5800);
    EXPECT_EQ(m->root->getOrientation(), before);
    EXPECT_TRUE(m->isAnimating());

    m->update(start + 5801);
    EXPECT_EQ(m->root->getOrientation(), before);
    EXPECT_TRUE(m->animations[0].trackDone[0]);
    EXPECT_TRUE(m->animations[0].trackDone[1]);
    EXPECT_TRUE(m->isAnimating());
    m->update(start + 5802);
    EXPECT_FALSE(m->isAnimating());
    EXPECT_TRUE(m->finished);
}

TEST_F(Environ3Test, LoopingSwingRestartsAtTheFrameAfterItsEnd)
{
    Model* m = build(makeEnviron3);
    m->startAnimation(0, true, 0);
    m->update(5801);
    m->update(5900); // restarts here, writing nothing
    EXPECT_EQ(m->animations[0].startMs, 5900);
    EXPECT_FALSE(m->finished);
    m->update(5900 + 2500);
    expectAngleAboutZ(m->root, 0.0);
}

TEST_F(Environ3Test, ElapsedBelowZeroEndsAtOnce)
{
    Model* m = build(makeEnviron3);
    m->startAnimation(0, false, 10000);
    m->update(9000);
    EXPECT_TRUE(m->animations[0].trackDone[0]);
    expectStems(*m, 0.76);
}

TEST_F(Environ3Test, FactoryBuildsItForTheSceneryVariantsAndTypeEleven)
{
    Model* plain = manager->createModel(3, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE, nullptr);
    built.push_back(plain);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->name, "environ3");
    EXPECT_FALSE(plain->isAnimating());
    EXPECT_EQ(plain->root->getScale(), Ogre::Vector3(1, 1, 2.5f));

    manager->environmentVariant = 16;
    Model* swinging = manager->createModel(3, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE, nullptr);
    built.push_back(swinging);
    ASSERT_NE(swinging, nullptr);
    EXPECT_EQ(swinging->name, "environ3");
    ASSERT_TRUE(swinging->isAnimating());
    EXPECT_TRUE(swinging->animations[0].loop);

    Model* marker = manager->createModel(11, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE, nullptr);
    built.push_back(marker);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->root->getScale(), Ogre::Vector3(4, 4, 3));
}
