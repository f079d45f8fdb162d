// The scorpion: its node table for tails of three to six segments and one
// or two branch stingers, its draws (one bound per test of each random
// loop), the second branch mirroring the first, its sockets, and its
// animations, 3 to 5 being the mosquito's on its own groups.
#include "figures/mosquito.h"
#include "figures/scorpion.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

// A tail segments, B branch stingers: N = 14 + 2A is the stinger's first
// joint, N + 10 the branch pivot, M = N + 11 + 9j branch j's first joint,
// K = 25 + 2A + 9B the first side pivot.
FigureShape scorpionShape(const char* label, unsigned seed, int a, int b)
{
    const int n = 14 + 2 * a;
    const int k = 25 + 2 * a + 9 * b;
    std::vector<std::pair<int, int>> parents;
    for (int i = 1; i <= 13; ++i)
        parents.push_back({i, i - 1});
    for (int i = 0; i < a; ++i) {
        parents.push_back({14 + 2 * i, 13 + 2 * i});
        parents.push_back({15 + 2 * i, 14 + 2 * i});
    }
    for (int i = 0; i <= 9; ++i)
        parents.push_back({n + i, n + i - 1});
    parents.push_back({n + 10, n + 2});
    for (int j = 0; j < b; ++j) {
        const int m = n + 11 + 9 * j;
        parents.push_back({m, n + 10}); // every branch forks at the branch pivot
        for (int i = 1; i <= 8; ++i)
            parents.push_back({m + i, m + i - 1});
    }
    parents.insert(parents.end(),
                   {{k, 4}, {k + 1, k}, {k + 2, 4}, {k + 3, k + 2}, {k + 4, k + 1}, {k + 5, k + 3}});
    return {label,
            makeScorpion,
            seed,
            31 + 2 * a + 9 * b,
            14 + a + 4 * b,
            {13 + a + 3 * b, 1 + b, 0, 0, 0},
            {{2, a}, {3, 4 + 4 * b}, {4, 1}, {9, 2}, {10, 1}, {11, 1}, {12, 1}},
            parents,
            {"scorpion1CUBE0", "scorpion1CUBE1", "scorpion1CUBE2", "scorpion1CUBE3", "scorpion1CUBE4",
             "scorpion1CUBE7", "scorpion1CUBE8", "scorpion1PYRAMID8"}};
}

const FigureShape SCORPION_SHAPES[] = {
    scorpionShape("scorpion_3_segments_1_branch", 8, 3, 1),
    scorpionShape("scorpion_5_segments_1_branch", 3, 5, 1),
    scorpionShape("scorpion_4_segments_2_branches", 10, 4, 2),
    scorpionShape("scorpion_6_segments_2_branches", 21, 6, 2),
};

// Where a node's origin lies in an ancestor's frame, by the transforms of
// the nodes between them.
Ogre::Vector3 placeIn(const Ogre::Node* ancestor, const Ogre::Node* node)
{
    Ogre::Vector3 p = Ogre::Vector3::ZERO;
    for (; node && node != ancestor; node = node->getParent())
        p = node->getOrientation() * (node->getScale() * p) + node->getPosition();
    return p;
}

int tailSegments(const Model& m) { return int(groupSizes(m).at(2)); }
int branches(const Model& m) { return (int(groupSizes(m).at(3)) - 4) / 4; }

} // namespace

INSTANTIATE_TEST_SUITE_P(Scorpion, FigureStructure, ::testing::ValuesIn(SCORPION_SHAPES), figureShapeName);

using ScorpionTest = FigureTest;

// randomInt(3, 7) before every tail pass and the failing test, then
// randomInt(1, 3) the same way for the branches: A + B + 2 draws.
TEST_F(ScorpionTest, DrawsOneBoundPerTestOfEachLoop)
{
    for (unsigned seed : {8u, 3u, 10u, 21u, 1234u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        plat::srand(seed);
        Model* m = build(makeScorpion);
        const int a = tailSegments(*m);
        const int b = branches(*m);
        EXPECT_EQ(drawsSinceSeed(seed), a + b + 2);

        plat::srand(seed);
        int tail = 0;
        while (tail < randomInt(3, 7))
            ++tail;
        int branch = 0;
        while (branch < randomInt(1, 3))
            ++branch;
        EXPECT_EQ(a, tail);
        EXPECT_EQ(b, branch);
        // the cursor ends on the second outer side piece
        EXPECT_EQ(m->currentPartIndex, 13 + a + 4 * b);
        EXPECT_EQ(m->currentNodeIndex, 30 + 2 * a + 9 * b);
        EXPECT_EQ(m->nodeCount, 31 + 2 * a + 9 * b);
    }
    // Past the variant limit, one more before each part.
    const unsigned seed = 99;
    plat::srand(seed);
    Model* sixth = build(makeScorpion);
    EXPECT_EQ(drawsSinceSeed(seed), tailSegments(*sixth) + branches(*sixth) + 2 + int(sixth->parts.size()));
}

// The second branch stinger forks where the first does, turned the other
// way about the same axis: a mirror image across the plane of that axis and
// the stinger, of the same size (not hung under the first one's barb).
TEST_F(ScorpionTest, TheSecondBranchStingerMirrorsTheFirst)
{
    plat::srand(21);
    Model* m = build(makeScorpion);
    ASSERT_EQ(branches(*m), 2);
    const int n = 14 + 2 * tailSegments(*m);
    Ogre::SceneNode* pivot = m->nodes[n + 10];
    const int first = n + 11, second = n + 20;
    ASSERT_EQ(m->nodes[first]->getParent(), pivot);
    ASSERT_EQ(m->nodes[second]->getParent(), pivot);
    EXPECT_TRUE(m->nodes[first]->getOrientation().equals(rotationOf(-1.75f, 1, 0, 1), Ogre::Radian(1e-5f)));
    EXPECT_TRUE(m->nodes[second]->getOrientation().equals(rotationOf(1.75f, 1, 0, 1), Ogre::Radian(1e-5f)));

    // Joint 4 and the barb pivot of each branch in the fork's frame, by the
    // branches' own transforms.
    for (int offset : {6, 7}) {
        SCOPED_TRACE("branch node + " + std::to_string(offset));
        Ogre::Vector3 p1 = placeIn(pivot, m->nodes[first + offset]);
        Ogre::Vector3 p2 = placeIn(pivot, m->nodes[second + offset]);
        EXPECT_GT(p1.distance(p2), 1.0f);
        expectVec(p2, p1.z, p1.y, p1.x, 1e-4);
    }
    Ogre::Vector3 s1 = m->nodes[first + 8]->_getDerivedScale();
    Ogre::Vector3 s2 = m->nodes[second + 8]->_getDerivedScale();
    expectVec(s2, s1.x, s1.y, s1.z);
}

// The body hangs from sockets at faces straight below each segment: each
// keeps +Y up (half a turn about it), so the next segment, placed below,
// sits outside. The rear segment's socket at its +X face is at the edited
// centre both in the scorpion that made the meshes and in one that found
// them in the cache.
TEST_F(ScorpionTest, BodySocketsKeepPlusYUpAndFollowTheEdits)
{
    Model* maker = build(makeScorpion);
    for (int i = 0; i < 5; ++i)
        build(makeScorpion);
    Model* finder = built.back();
    ASSERT_FALSE(finder->parts[2]->builtMesh);
    for (int socket : {3, 5, 9}) {
        SCOPED_TRACE("socket " + std::to_string(socket));
        expectVec(maker->nodes[socket]->getPosition(), 0, -1, 0);
        expectVec(maker->nodes[socket]->getOrientation() * Ogre::Vector3::UNIT_Y, 0, 1, 0);
        expectVec(maker->nodes[socket]->getOrientation() * Ogre::Vector3::UNIT_X, -1, 0, 0);
    }
    expectVec(maker->nodes[7]->getPosition(), 0.95, 0, 0);
    expectVec(finder->nodes[7]->getPosition(), 0.95, 0, 0);
    expectVec(maker->nodes[7]->getOrientation() * Ogre::Vector3::UNIT_Y, 1, 0, 0);
    // Stinger cube 3 is built on the existing mesh even in the maker.
    const int n = 14 + 2 * tailSegments(*maker);
    expectVec(maker->nodes[n + 6]->getPosition(), 0, -1, 0);
}

// Animations 3 to 5 are the mosquito's, moving the side pieces: the first
// outer piece (group 10) takes the keyed position as first writer, the
// second inner piece (group 11) averages it with its build position.
TEST_F(ScorpionTest, PlaysTheMosquitosThrowsOnItsSidePieces)
{
    for (int id = 3; id <= 5; ++id) {
        const Animation& own = scorpionAnimations()[id];
        const Animation& mosquitoThrow = MOSQUITO_ANIMATIONS[id];
        ASSERT_EQ(own.size(), mosquitoThrow.size());
        EXPECT_EQ(own[0].group, mosquitoThrow[0].group);
        EXPECT_EQ(own[0].endMs(), 1100);
    }
    plat::srand(8);
    Model* m = build(makeScorpion);
    const int k = 25 + 2 * tailSegments(*m) + 9 * branches(*m);
    m->playAnimation(3, false, 0);
    m->startAnimation(4, false, 0);
    m->update(0);
    expectVec(m->nodes[k + 4]->getPosition(), 0.77, 0.47, 0);
    expectVec(m->nodes[k + 3]->getPosition(), -0.77 / 2, 0.47 / 2, 1.61 / 2);
    m->update(1101);
    m->update(1117);
    m->update(1133);
    EXPECT_FALSE(m->isAnimating());
}

// The beat pulse writes nothing at exactly 100, 250 and 400 ms; a start
// later than now ends the animation at once without a write.
TEST_F(ScorpionTest, PulseAtItsWindowBoundaries)
{
    plat::srand(8);
    Model* m = build(makeScorpion);
    const int k = 25 + 2 * tailSegments(*m) + 9 * branches(*m);
    Ogre::SceneNode* sidePivot = m->nodes[k];
    m->playAnimation(2, false, 0);
    m->update(50);
    expectVec(sidePivot->getScale(), 1, 1.5, 1);
    m->update(100);
    expectVec(sidePivot->getScale(), 1, 1.5, 1);
    m->update(175);
    expectVec(sidePivot->getScale(), 1.5, 1.5, 1.5);
    m->update(250);
    expectVec(sidePivot->getScale(), 1.5, 1.5, 1.5);
    m->update(400);
    EXPECT_FALSE(m->animations[2].trackDone[0]);
    m->update(401);
    EXPECT_TRUE(m->animations[2].trackDone[0]);
    EXPECT_TRUE(m->animations[2].trackDone[1]);
    m->update(402);
    EXPECT_FALSE(m->isAnimating());

    m->playAnimation(2, false, 5000);
    m->update(1000);
    expectVec(sidePivot->getScale(), 1.5, 1.5, 1.5);
    EXPECT_TRUE(m->animations[2].trackDone[1]);
    m->update(1016);
    EXPECT_FALSE(m->isAnimating());
}
