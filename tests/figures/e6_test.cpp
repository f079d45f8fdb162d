// Scenery figure e6: e4's tree with thin tetrahedra on tilted pivots, and
// its three animations.
#include "figures/e6.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

const FigureShape E6_SHAPES[] = {
    {"e6", makeE6, 1, 110, 45, {3, 6, 36, 0, 0}, {{1, 1}, {2, 36}, {3, 36}, {4, 3}},
     {{1, 0}, {2, 1}, {3, 2}, {5, 4}, {6, 3}, {10, 7}, {13, 12}, {14, 1}, {15, 14}, {16, 15},
      {17, 16}, {18, 16}, {19, 18}, {20, 18}, {21, 20}, {22, 14}, {102, 94}, {109, 108}},
     {"e61CUBE1", "e61PYRAMID5", "e61TETRAHEDRON0"}},
};
INSTANTIATE_TEST_SUITE_P(E6, FigureStructure, ::testing::ValuesIn(E6_SHAPES), figureShapeName);

using E6 = FigureTest;

TEST_F(E6, TetrahedraOnTiltedPivotsInGroupsOfTheirOwn)
{
    Model* m = build(makeE6);
    std::set<int> pivots, parts;
    for (const auto& entry : m->groups)
        (entry.first == 3 ? pivots : parts).insert(entry.second);
    for (int r = 1; r <= 12; ++r)
        for (int i = 1; i <= 3; ++i) {
            int pivot = 6 + 8 * r + 2 * i;
            EXPECT_TRUE(pivots.count(pivot));
            EXPECT_FALSE(pivots.count(pivot + 1));
            expectTurn(m->nodes[pivot]->getOrientation(), -1.7, 1, 0.41, 0);
            expectVec(m->nodes[pivot + 1]->getScale(), 0.5, 3, 0.5);
            expectVec(m->nodes[pivot + 1]->getPosition(), -2, 11.86, 3.83);
        }
}

TEST_F(E6, AnimationsAtTheirWindowBoundariesAndTogether)
{
    Model* m = build(makeE6);
    m->startAnimation(1, false, 0);
    m->update(0); // from the built turn
    expectTurn(m->nodes[16]->getOrientation(), -1.7, 1, 0.41, 0);
    m->update(800);
    expectTurn(m->nodes[16]->getOrientation(), -1.7, 1, 0.41, 0);
    m->update(400);
    expectTurn(m->nodes[16]->getOrientation(), -0.35, 1, 0.41, 0);
    m->playAnimation(2, true, 1000);
    m->update(1000); // jumps to the first key
    expectVec(m->nodes[17]->getPosition(), 1.42, 8, 0);
    m->update(2200);
    expectVec(m->nodes[17]->getPosition(), 1.42, 8, 1.5);
    m->update(2600); // key time
    expectVec(m->nodes[17]->getPosition(), 1.42, 8, 1.5);
    m->update(3400);
    EXPECT_FALSE(m->animations[2].trackDone[0]);
    m->update(3401);
    EXPECT_TRUE(m->animations[2].trackDone[0]);

    // 2 and 0 in one frame (0 started last, since a running 0 blocks later
    // starts): the second write is averaged with the first.
    Model* f = build(makeE6);
    f->startAnimation(2, true, 0);
    f->startAnimation(0, true, 0);
    f->update(0);
    expectVec(f->nodes[17]->getPosition(), (1.42 - 2) / 2, (8 + 11.86) / 2, (0 + 3.83) / 2);
    f->update(400);
    expectTurn(f->nodes[2]->getOrientation(), 6.5, 0.5, 0, 1);
}

} // namespace
