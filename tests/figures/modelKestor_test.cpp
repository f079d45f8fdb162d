// The player's ship: its node table, its shared and edited meshes, and the
// window edges of its destruction.
#include "figures/modelKestor.h"
#include "tests/figures/figure_fixture.h"

#include <OgreMath.h>

namespace {

const FigureShape KESTOR_SHAPES[] = {
    {"modelKestor", makeModelKestor, 1, 35, 14, {12, 2, 0, 0, 0},
     {{2, 1}, {4, 2}, {6, 1}, {7, 1}, {20, 1}, {21, 2}, {22, 1}, {25, 1}},
     // the tail under the hull pivot, the wing mount under the tail (the
     // select past the last part stays on it), the mounts and wing offsets
     // under pivots, the fins under their panels' offset pivots
     {{1, 0}, {2, 1}, {3, 1}, {4, 3}, {5, 4}, {6, 4}, {7, 4}, {8, 7}, {9, 8}, {10, 9}, {11, 4},
      {14, 13}, {15, 5}, {20, 5}, {25, 6}, {30, 6}, {34, 33}},
     {"modelKestor1PYRAMID1", "modelKestor1PYRAMID2", "modelKestor1CUBE0", "modelKestor1CUBE4"}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(ModelKestor, FigureStructure, ::testing::ValuesIn(KESTOR_SHAPES), figureShapeName);

using ModelKestorTest = FigureTest;

TEST_F(ModelKestorTest, GroupsHoldTheirNodesInTaggingOrder)
{
    Model* m = build(makeModelKestor);
    auto members = [&](int g) {
        std::vector<int> v;
        auto range = m->groups.equal_range(g);
        for (auto it = range.first; it != range.second; ++it)
            v.push_back(it->second);
        return v;
    };
    EXPECT_EQ(members(2), std::vector<int>({6}));
    EXPECT_EQ(members(4), std::vector<int>({10, 14}));
    EXPECT_EQ(members(6), std::vector<int>({19}));
    EXPECT_EQ(members(7), std::vector<int>({24}));
    EXPECT_EQ(members(20), std::vector<int>({2}));
    EXPECT_EQ(members(21), std::vector<int>({29, 34}));
    EXPECT_EQ(members(22), std::vector<int>({4}));
    EXPECT_EQ(members(25), std::vector<int>({3}));
    EXPECT_EQ(m->currentPartIndex, 13);
    EXPECT_EQ(m->currentNodeIndex, 34);
    EXPECT_FALSE(m->isAnimating());
}

// Six panels share the plain cube; six fins share the one edited "CUBE4";
// the two pyramids carry their own edits. A second ship builds variant 2
// with the same edits, and a ship past the variant limit reuses a variant.
TEST_F(ModelKestorTest, MeshesAreSharedAndEditedOncePerVariant)
{
    Model* first = build(makeModelKestor);
    std::vector<std::string> keys = meshKeys(*first);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "modelKestor1CUBE0"), 6);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "modelKestor1CUBE4"), 6);

    const ShapeCache* fin = shapeCacheMap.at("modelKestor1CUBE4");
    EXPECT_EQ(fin->vertexOffsets[0], Ogre::Vector3(-1, 0, 0));
    EXPECT_EQ(fin->vertexOffsets[1], Ogre::Vector3(-2.5, 0, 0));
    EXPECT_EQ(fin->vertexOffsets[4], Ogre::Vector3(-1.25, 0, 0));
    EXPECT_EQ(fin->vertexOffsets[5], Ogre::Vector3(-2.25, 0, 0));
    const ShapeCache* nose = shapeCacheMap.at("modelKestor1PYRAMID1");
    EXPECT_EQ(nose->vertexOffsets[4], Ogre::Vector3(0, 0, 1));
    const ShapeCache* tail = shapeCacheMap.at("modelKestor1PYRAMID2");
    EXPECT_EQ(tail->vertexOffsets[0], Ogre::Vector3(0, -2.25, 0));
    EXPECT_EQ(tail->vertexOffsets[4], Ogre::Vector3(0, 0, -0.25));
    const ShapeCache* panel = shapeCacheMap.at("modelKestor1CUBE0");
    for (const Ogre::Vector3& offset : panel->vertexOffsets)
        EXPECT_EQ(offset, Ogre::Vector3::ZERO);

    Model* second = build(makeModelKestor);
    EXPECT_EQ(meshKeys(*second)[0], "modelKestor2PYRAMID1");
    EXPECT_EQ(shapeCacheMap.at("modelKestor2CUBE4")->vertexOffsets[1], Ogre::Vector3(-2.5, 0, 0));

    for (int i = 0; i < 4; ++i)
        build(makeModelKestor);
    std::size_t meshes = shapeCacheMap.size();
    Model* sixth = build(makeModelKestor);
    EXPECT_EQ(shapeCacheMap.size(), meshes) << "a ship past the variant limit makes no new mesh";
    for (const std::string& key : meshKeys(*sixth))
        EXPECT_NE(key.find("modelKestor"), std::string::npos);
}

// The hull pivot's axis is not of unit length, so it turns by about
// 1.468 rad about +x rather than the 0.4 written.
TEST_F(ModelKestorTest, HullPivotTurnsByTheUnnormalisedAxis)
{
    Model* m = build(makeModelKestor);
    Ogre::Radian angle;
    Ogre::Vector3 axis;
    m->nodes[1]->getOrientation().ToAngleAxis(angle, axis);
    EXPECT_NEAR(angle.valueRadians(), 1.468, 0.001);
    EXPECT_NEAR(axis.x, 1, 1e-5);
    EXPECT_EQ(m->nodes[1]->getScale(), Ogre::Vector3(0.1f, 0.1f, 0.1f));
}

// Window ends are exclusive: at 750 and 1000 ms the destruction writes
// nothing; past 1000 ms its tracks are done and the next frame ends it and
// marks the figure finished.
TEST_F(ModelKestorTest, DestructionWindowEdgesAndEnd)
{
    Model* m = build(makeModelKestor);
    const int start = 5000;
    m->playAnimation(0, false, start);
    m->update(start + 749);
    Ogre::Vector3 nose = m->nodes[2]->getPosition();
    EXPECT_NEAR(nose.x, -5 * 749.0 / 750, 1e-3);
    m->update(start + 750);
    EXPECT_EQ(m->nodes[2]->getPosition(), nose) << "nothing is written at a window's end";
    m->update(start + 1000);
    EXPECT_TRUE(m->isAnimating());
    m->update(start + 1001);
    EXPECT_TRUE(m->isAnimating());
    EXPECT_FALSE(m->finished);
    m->update(start + 1017);
    EXPECT_FALSE(m->isAnimating());
    EXPECT_TRUE(m->finished);
}

// The power shot leaves the figure as it found it: its first and last keys
// are the built transforms of rear mount B and the main fins.
TEST_F(ModelKestorTest, PowerShotReturnsToTheBuiltPose)
{
    Model* m = build(makeModelKestor);
    Ogre::Vector3 mountScale = m->nodes[6]->getScale();
    Ogre::Vector3 finPosition = m->nodes[10]->getPosition();
    m->playAnimation(1, false, 0);
    m->update(0);
    EXPECT_TRUE(m->nodes[6]->getScale().positionEquals(mountScale, 1e-4f));
    m->update(1699);
    EXPECT_TRUE(m->nodes[6]->getScale().positionEquals(mountScale, 1e-2f));
    EXPECT_TRUE(m->nodes[10]->getPosition().positionEquals(finPosition, 1e-2f));
}
