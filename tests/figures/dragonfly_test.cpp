// The dragonfly: its node table, the order of its random draws (alone and
// interleaved with the variant draws past the limit), the wing blade edits,
// and its animations at their window boundaries.
#include "figures/dragonfly.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include "platform/random.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const FigureShape DRAGONFLY_SHAPES[] = {
    {"dragonfly", makeDragonfly, 11, 31, 14, {8, 6, 0, 0, 0},
     {{1, 8}, {2, 1}, {3, 2}, {4, 3}, {5, 2}, {6, 2}, {7, 2}, {8, 2}, {9, 2}, {10, 1}, {11, 1}},
     // body pairs from part 0's node, sockets below their pyramids, the wing
     // root from the body pivot, the yaw pivots chained
     {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 2}, {6, 5}, {7, 6}, {8, 2}, {9, 8}, {10, 9}, {11, 1},
      {12, 11}, {13, 12}, {14, 13}, {15, 14}, {16, 11}, {17, 16}, {20, 19}, {21, 16}, {22, 21},
      {26, 21}, {27, 26}, {30, 29}},
     {"dragonfly1PYRAMID0", "dragonfly1CUBE4"}},
};
INSTANTIATE_TEST_SUITE_P(Dragonfly, FigureStructure, ::testing::ValuesIn(DRAGONFLY_SHAPES), figureShapeName);

// A draw of randomReal(a, b) and of a variant past the limit of 5, written
// out from the generator's contract.
double drawReal(double a, double b) { return std::min(a, b) + (plat::rand() % 10000) * 0.0001 * std::fabs(a - b); }
int drawVariant() { return int(1 + (plat::rand() % 10000) * 0.0001 * 4); }

struct Draws {
    double z, y, x, yaw[3];
    std::vector<std::string> meshes;
};

// The draws a dragonfly of a variant makes in build order; past the variant
// limit (variant 0 here) every part step draws its variant first.
constexpr int PAST_LIMIT = 0;
Draws replay(unsigned seed, int variant)
{
    plat::srand(seed);
    Draws d;
    auto part = [&](const char* key) {
        d.meshes.push_back("dragonfly" + std::to_string(variant == PAST_LIMIT ? drawVariant() : variant) + key);
    };
    for (int i = 0; i < 6; ++i)
        part("PYRAMID0");
    d.z = drawReal(0.8, 1.4);
    d.y = drawReal(0.3, 0.7);
    d.x = drawReal(0.9, 1.3);
    const double yaw[3][2] = {{-0.1, 0.3}, {-2.6, -2.4}, {-0.6, -0.2}};
    for (int wing = 0; wing < 4; ++wing) {
        if (wing > 0)
            d.yaw[wing - 1] = drawReal(yaw[wing - 1][0], yaw[wing - 1][1]);
        part("CUBE4");
        part("CUBE4");
    }
    return d;
}

void expectDraws(const Model& m, const Draws& d)
{
    expectVec(m.nodes[11]->getScale(), d.x, d.y, d.z, 1e-6);
    expectTurn(m.nodes[16]->getOrientation(), d.yaw[0], 0, 1, 0);
    expectTurn(m.nodes[21]->getOrientation(), d.yaw[1], 0, 1, 0);
    expectTurn(m.nodes[26]->getOrientation(), d.yaw[2], 0, 1, 0);
    EXPECT_EQ(meshKeys(m), d.meshes);
}

using Dragonfly = FigureTest;

TEST_F(Dragonfly, DrawsScaleZYXThenTheYawsInBuildOrder)
{
    int variant = 0;
    for (unsigned seed : {1u, 99u, 4242u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Draws d = replay(seed, ++variant);
        int after = plat::rand();
        plat::srand(seed);
        Model* m = build(makeDragonfly);
        expectDraws(*m, d);
        EXPECT_EQ(plat::rand(), after) << "six draws, no more";
    }
    // Within their ranges; the yaws add up along the chained pivots.
    Model* m = built.back();
    Ogre::Vector3 s = m->nodes[11]->getScale();
    EXPECT_TRUE(s.x >= 0.9f && s.x < 1.3f && s.y >= 0.3f && s.y < 0.7f && s.z >= 0.8f && s.z < 1.4f);
    Draws d = replay(4242, 3);
    double total = d.yaw[0] + d.yaw[1] + d.yaw[2];
    EXPECT_GT(total, -3.3);
    EXPECT_LT(total, -2.3);
    expectTurn(m->nodes[16]->getOrientation() * m->nodes[21]->getOrientation() *
                   m->nodes[26]->getOrientation(),
               total, 0, 1, 0);
}

TEST_F(Dragonfly, PastTheVariantLimitEveryPartDrawsItsVariantBetweenTheFiguresDraws)
{
    for (int i = 0; i < 5; ++i)
        build(makeDragonfly);
    EXPECT_EQ(shapeCacheMap.size(), 10u);
    int meshes = customMeshCount();
    std::map<std::string, std::vector<Ogre::Vector3>> offsets;
    for (const auto& entry : shapeCacheMap)
        offsets[entry.first] = entry.second->vertexOffsets;

    for (unsigned seed : {3u, 17u, 2024u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Draws d = replay(seed, PAST_LIMIT);
        plat::srand(seed);
        Model* m = build(makeDragonfly);
        expectDraws(*m, d);
        for (const Shape* part : m->parts)
            EXPECT_FALSE(part->builtMesh);
        for (const std::string& key : d.meshes)
            EXPECT_NE(key, "dragonfly5PYRAMID0");
    }
    // Nothing built, nothing edited.
    EXPECT_EQ(customMeshCount(), meshes);
    EXPECT_EQ(shapeCacheMap.size(), 10u);
    for (const auto& entry : shapeCacheMap)
        EXPECT_EQ(entry.second->vertexOffsets, offsets[entry.first]) << entry.first;
}

TEST_F(Dragonfly, FirstWingCubeOfAVariantPullsTheSharedMeshIntoABlade)
{
    Model* first = build(makeDragonfly);
    Model* second = build(makeDragonfly);
    for (const char* key : {"dragonfly1CUBE4", "dragonfly2CUBE4"}) {
        SCOPED_TRACE(key);
        const std::vector<Ogre::Vector3>& o = shapeCacheMap.at(key)->vertexOffsets;
        ASSERT_EQ(o.size(), 8u);
        for (int v = 0; v < 4; ++v)
            expectVec(o[v], 0, 0, 0);
        expectVec(o[4], -4, 1, 4);
        expectVec(o[5], -0.6, 0, -0.5);
        expectVec(o[6], -0.6, 0, -0.5);
        expectVec(o[7], -4, -1, 4);
    }
    // Every wing cube shows the blade: corners 4 and 7 meet at its tip.
    for (Model* m : {first, second})
        for (int p = 6; p < 14; ++p) {
            Shape* cube = m->parts[p];
            EXPECT_EQ(cube->mesh, m->parts[6]->mesh);
            EXPECT_EQ(cube->builtMesh, p == 6);
            cube->selectVertex(4);
            expectVec(cube->getVertex(), -5, 0, 5);
            cube->selectVertex(7);
            expectVec(cube->getVertex(), -5, 0, 5);
        }
    // The sockets sit at the middle of each pyramid's base.
    for (int socket : {3, 6, 9})
        expectVec(first->nodes[socket]->getPosition(), 0, -1, 0);
    EXPECT_EQ(first->currentPartIndex, 13);
    EXPECT_EQ(first->currentNode, first->nodes[30]);
}

TEST_F(Dragonfly, IdleBeatAndPulseAtTheirWindowBoundaries)
{
    Model* m = build(makeDragonfly);
    const int groupOne[] = {12, 14, 17, 19, 22, 24, 27, 29};
    m->startAnimation(1, true, 1000);
    m->update(1000); // from unturned to -0.7 about X at once
    for (int n : groupOne)
        expectTurn(m->nodes[n]->getOrientation(), -0.7, 1, 0, 0);
    m->update(1125);
    expectTurn(m->nodes[12]->getOrientation(), 0, 1, 0, 0);
    m->update(1250); // a key time: no window, no write
    expectTurn(m->nodes[12]->getOrientation(), 0, 1, 0, 0);
    m->update(1500);
    EXPECT_FALSE(m->animations[1].trackDone[0]);
    m->update(1501);
    EXPECT_TRUE(m->animations[1].trackDone[0]);
    m->update(1520); // loops: starts again from here
    EXPECT_EQ(m->animations[1].startMs, 1520);

    // The pulse replaces the drawn wing-root proportions.
    m->startAnimation(2, false, 2000);
    m->update(2000);
    expectVec(m->nodes[11]->getScale(), 0.9, 0.5, 1);
    m->update(2124);
    EXPECT_NEAR(m->nodes[11]->getScale().z, 1 + 124.0 / 125, 1e-5);
    m->update(2125);
    EXPECT_NEAR(m->nodes[11]->getScale().z, 1 + 124.0 / 125, 1e-5);
    m->update(2251);
    m->update(2260);
    EXPECT_EQ(m->activeAnimations, std::vector<int>{1});

    m->startAnimation(9, true, 0);
    m->startAnimation(-1, true, 0);
    EXPECT_EQ(m->activeAnimations, std::vector<int>{1});
}

TEST_F(Dragonfly, ThrowsWriteTheirChannelsInEachWindowsOrder)
{
    Model* m = build(makeDragonfly);
    // Animation 4 on part 4 (node 8): first window turn, then move, so the
    // move is the node's second write and is averaged with where it stands.
    m->playAnimation(4, false, 0);
    m->update(0);
    expectTurn(m->nodes[8]->getOrientation(), 0, 1, 0, 1);
    expectVec(m->nodes[8]->getPosition(), (-0.77 + 0) / 2, (0.47 - 9) / 2, 0);
    // Second window: move first, unblended.
    m->update(775);
    expectVec(m->nodes[8]->getPosition(), (-6.95 - 59) / 2, (3 + 2000) / 2.0, (5 + 15) / 2.0, 1e-3);
    m->update(450);
    expectVec(m->nodes[8]->getPosition(), (-6.95 - 59) / 2, (3 + 2000) / 2.0, (5 + 15) / 2.0, 1e-3);

    // Animation 3 on wing 4's cubes moves first in both windows.
    m->playAnimation(3, false, 0);
    m->update(0);
    expectVec(m->nodes[28]->getPosition(), 0.77, 0.47, 0);
    expectVec(m->nodes[30]->getPosition(), 0.77, 0.47, 0);

    // The destruction ends once all six tracks are past 750 ms.
    m->playAnimation(0, false, 0);
    m->update(750);
    m->update(751);
    EXPECT_FALSE(m->finished);
    m->update(752);
    EXPECT_TRUE(m->finished);
    EXPECT_FALSE(m->isAnimating());
}

} // namespace
