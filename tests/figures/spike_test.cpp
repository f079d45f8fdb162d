// The spike: its node table, its twelve draws in order, corner re-edits on a
// shared mesh, and its loop at the window boundaries.
#include "figures/spike.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include <OgreHardwareBuffer.h>

namespace {

const FigureShape SPIKE_SHAPES[] = {
    {"spike", makeSpike, 3, 7, 4, {0, 4, 0, 0, 0}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}},
     // the column pivot is the spike pivot's second child (selectNode 1)
     {{1, 0}, {2, 1}, {3, 1}, {4, 3}, {5, 4}, {6, 5}},
     {"spike1PYRAMID1"}},
};

Ogre::Vector3 bufferVertex(const Shape& part, int i)
{
    Ogre::HardwareBufferLockGuard lock(part.vertexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const float* v = static_cast<const float*>(lock.pData) + 8 * i;
    return Ogre::Vector3(v[0], v[1], v[2]);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Spike, FigureStructure, ::testing::ValuesIn(SPIKE_SHAPES), figureShapeName);

using SpikeTest = FigureTest;

// The three turns, then per corner z, y, x (the constant components draw
// nothing): twelve draws.
TEST_F(SpikeTest, DrawsTwelveValuesInTheOrderOfItsScript)
{
    const unsigned seed = 2024;
    plat::srand(seed);
    Model* m = build(makeSpike);
    EXPECT_EQ(drawsSinceSeed(seed), 12);

    plat::srand(seed);
    const double turn[3] = {randomReal(-1, 1), randomReal(-1, 1), randomReal(-1, 1)};
    double z0 = randomReal(-0.4, 0.2), y0 = randomReal(-0.5, 0.2), x0 = randomReal(-0.4, 0.2);
    double z1 = randomReal(-0.4, 0.2), y1 = randomReal(-0.5, 0.2), x1 = randomReal(-0.5, -0.2);
    double y2 = randomReal(-0.5, 0.2);
    double y3 = randomReal(-1.5, 1.2), x3 = randomReal(-1, -0.3);

    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(m->nodes[4 + k]->getOrientation().equals(rotationOf(float(turn[k]), 0, 1, 0),
                                                              Ogre::Radian(1e-5f)))
            << "column pyramid " << k;
    const ShapeCache* record = m->parts[0]->cache;
    expectVec(record->vertexOffsets[0], x0, y0, z0);
    expectVec(record->vertexOffsets[1], x1, y1, z1);
    expectVec(record->vertexOffsets[2], 0, y2, 0);
    expectVec(record->vertexOffsets[3], x3, y3, 0);
    expectVec(record->vertexOffsets[4], 0, 0, 0);
    // One mesh for all four pyramids: the deformed corners show on each.
    for (const Shape* part : m->parts)
        EXPECT_EQ(part->cache, record);
}

// From the sixth spike on the meshes are found, not made, and the corner
// edits run on a mesh an earlier spike deformed: each corner is then the
// primitive's plus the new offset, in the part and in the shared mesh.
TEST_F(SpikeTest, ReEditsReplaceTheOffsetOfAFoundMesh)
{
    for (int i = 0; i < 5; ++i)
        build(makeSpike);
    const unsigned seed = 77;
    plat::srand(seed);
    Model* m = build(makeSpike);
    // A variant draw before each of the four parts.
    EXPECT_EQ(drawsSinceSeed(seed), 16);

    const Shape& base = *m->parts[0];
    ASSERT_FALSE(base.builtMesh);
    const auto& corners = Shape::primitiveVertices(SHAPE_PYRAMID);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        Ogre::Vector3 expected = corners[i] + base.cache->vertexOffsets[i];
        expectVec(base.vertices[i], expected.x, expected.y, expected.z);
        expectVec(bufferVertex(base, i), expected.x, expected.y, expected.z);
    }
    expectVec(base.cache->vertexOffsets[4], 0, 0, 0);
}

// Animation 1 on the column pivot (node 3): the position written after the
// scale is a later writer; nothing is written at a key's exact time; the
// loop restarts in the frame after the first one past 3500 ms.
TEST_F(SpikeTest, LoopAtItsWindowBoundaries)
{
    Model* m = build(makeSpike);
    Ogre::SceneNode* pivot = m->nodes[3];
    m->playAnimation(1, true, 1000);

    m->update(1000);
    expectVec(pivot->getScale(), 0.1, 0.1, 0.1);
    expectVec(pivot->getPosition(), 0, -5, 0); // (keyed + build position) / 2
    m->update(1250);
    expectVec(pivot->getScale(), 0.55, 0.55, 0.55);
    m->update(1500);
    expectVec(pivot->getScale(), 0.55, 0.55, 0.55);
    m->update(4250);
    expectVec(pivot->getScale(), 0.55, 0.55, 0.55);
    Ogre::Vector3 standing = pivot->getPosition();

    m->update(4500); // exactly 3500 ms: no write, not yet done
    EXPECT_FALSE(m->animations[1].trackDone[0]);
    expectVec(pivot->getScale(), 0.55, 0.55, 0.55);
    m->update(4501); // past the end: done, still no write
    EXPECT_TRUE(m->animations[1].trackDone[0]);
    EXPECT_EQ(m->animations[1].startMs, 1000);
    expectVec(pivot->getPosition(), standing.x, standing.y, standing.z);
    m->update(4517); // the restart, at this frame's time
    EXPECT_EQ(m->animations[1].startMs, 4517);
    EXPECT_FALSE(m->animations[1].trackDone[0]);
    m->update(4517);
    expectVec(pivot->getScale(), 0.1, 0.1, 0.1);
    EXPECT_TRUE(m->isAnimating());
}

// Animation 0: each pyramid keeps its build position until its window;
// the top one is done after 250 ms while the others go on.
TEST_F(SpikeTest, DestructionSinksTheTopPyramidFirst)
{
    Model* m = build(makeSpike);
    m->playAnimation(0, false, 0);
    m->update(100);
    expectVec(m->nodes[5]->getPosition(), 0, 0.9, 0);
    expectVec(m->nodes[6]->getPosition(), 0, 0.5 - 0.4 * 10.5, 0);
    m->update(251);
    EXPECT_TRUE(m->animations[0].trackDone[2]);
    EXPECT_FALSE(m->animations[0].trackDone[1]);
    m->update(375);
    expectVec(m->nodes[5]->getPosition(), 0, 0.9 - 0.5 * 20.9, 0);
    expectVec(m->nodes[4]->getPosition(), 0, 0, 0);
    m->update(751);
    EXPECT_FALSE(m->finished);
    m->update(752);
    EXPECT_TRUE(m->finished);
    EXPECT_FALSE(m->isAnimating());
}
