#include "figures/crystal.h"
#include "tests/figures/figure_fixture.h"
#include "world/simulationObject.h"

#include <OgreHardwareBuffer.h>

namespace {

const FigureShape CRYSTAL_SHAPES[] = {
    {"crystal", makeCrystal, 1, 2, 1, {1, 0, 0, 0, 0}, {}, {{1, 0}}, {"crystal1CUBE0"}},
};
INSTANTIATE_TEST_SUITE_P(Crystal, FigureStructure, ::testing::ValuesIn(CRYSTAL_SHAPES), figureShapeName);

class Crystal : public FigureTest {};

// Corner i of the shared mesh, read back from its vertex buffer.
Ogre::Vector3 corner(const Model& m, int i)
{
    Shape* part = m.parts.at(0);
    Ogre::HardwareBufferLockGuard lock(part->vertexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const float* v = static_cast<const float*>(lock.pData) + 8 * i;
    return {v[0], v[1], v[2]};
}

TEST_F(Crystal, FinishedMeshHasTheSplintersCorners)
{
    const float expected[8][3] = {
        {-3.1f, -0.21f, -0.07f}, {4.1f, -0.1f, 0.1f}, {1, 1, -0.17f}, {-1, 1, -0.11f},
        {-4.25f, -0.39f, 1},     {2.25f, 0.35f, 1},   {1, 1, 1},      {-1, 1, 1},
    };
    Model* first = build(makeCrystal);
    ASSERT_EQ(first->parts.size(), 1u);
    for (int i = 0; i < 8; ++i) {
        Ogre::Vector3 c = corner(*first, i);
        EXPECT_NEAR(c.x, expected[i][0], 1e-5) << "corner " << i;
        EXPECT_NEAR(c.y, expected[i][1], 1e-5) << "corner " << i;
        EXPECT_NEAR(c.z, expected[i][2], 1e-5) << "corner " << i;
    }
    EXPECT_EQ(first->parts[0]->node->getScale(), Ogre::Vector3(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(first->currentPart(), first->parts[0]);
    EXPECT_EQ(first->nodeCount, 2);
}

TEST_F(Crystal, OnlyTheFirstThreeMakeMeshesLaterOnesShareVariantOneOrTwo)
{
    std::vector<std::string> keys;
    for (int i = 0; i < 40; ++i) {
        Model* m = build(makeCrystal);
        keys.push_back(m->parts[0]->cache->meshName);
        EXPECT_EQ(m->parts[0]->builtMesh, i < 3) << i;
    }
    EXPECT_EQ(keys[0], "crystal1CUBE0");
    EXPECT_EQ(keys[1], "crystal2CUBE0");
    EXPECT_EQ(keys[2], "crystal3CUBE0");
    for (std::size_t i = 3; i < keys.size(); ++i)
        EXPECT_TRUE(keys[i] == "crystal1CUBE0" || keys[i] == "crystal2CUBE0") << keys[i];
    // A shared mesh still shows the edited corners.
    EXPECT_NEAR(corner(*built.back(), 4).x, -4.25f, 1e-5);
    EXPECT_EQ(shapeCacheMap.size(), 3u);
}

TEST_F(Crystal, HasNoAnimationsToPlay)
{
    Model* m = build(makeCrystal);
    m->playAnimation(0, false, 0);
    m->startAnimation(1, true, 0);
    EXPECT_FALSE(m->isAnimating());
    m->update(500);
    EXPECT_FALSE(m->finished);
}

// The bullet's colour and stretch follow its shooter through the lookup the
// play screen installs.
struct FakeBullet : simulationObject {
    int shooterType = 0;
};
int shooterOf(const simulationObject* b) { return static_cast<const FakeBullet*>(b)->shooterType; }

TEST_F(Crystal, BulletsAreStyledByTheirShooter)
{
    ModelManager::setShooterLookup(shooterOf);
    struct Row {
        int shooterType;  // 0: no shooter
        const char* material;
        Ogre::Vector3 scale;
    };
    const Row rows[] = {
        {14, "bulletColor1", {1.25f, 5, 1.25f}},
        {25, "bulletColor3", {1, 2, 1}},
        {5, "bulletColor3", {1.5f, 6, 1.5f}},
        {0, "bulletColor3", {1.5f, 6, 1.5f}},
    };
    for (const Row& row : rows) {
        FakeBullet b;
        b.type = 8;
        b.shooterType = row.shooterType;
        Model* m = manager->createModel(8, Ogre::Vector3(0, 0, 0), Ogre::Vector3(0, 0, 0),
                                        Ogre::Vector3(1, 2, 1), &b);
        ASSERT_NE(m, nullptr);
        built.push_back(m);
        EXPECT_EQ(m->parts[0]->getMaterial()->getName(), row.material) << row.shooterType;
        EXPECT_EQ(m->root->getScale(), row.scale) << row.shooterType;
    }
}

} // namespace
