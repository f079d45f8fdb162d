// Scenery figure e4: three chained wings and twelve rings of pyramid fans on
// chained pivots; its scale pulse at the window boundaries.
#include "figures/e4.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

// e4, e5 and e6 share their node tree.
const std::vector<std::pair<int, int>> RING_FAN_PARENTS = {
    {1, 0}, {2, 1}, {3, 2}, {5, 4}, {6, 3}, {10, 7}, {13, 12}, {14, 1}, {15, 14}, {16, 15},
    {17, 16}, {18, 16}, {19, 18}, {20, 18}, {21, 20}, {22, 14}, {102, 94}, {109, 108}};

const FigureShape E4_SHAPES[] = {
    {"e4", makeE4, 1, 110, 45, {3, 42, 0, 0, 0}, {{1, 1}, {2, 36}, {4, 3}}, RING_FAN_PARENTS,
     {"e41CUBE1", "e41PYRAMID5", "e41PYRAMID0"}},
};
INSTANTIATE_TEST_SUITE_P(E4, FigureStructure, ::testing::ValuesIn(E4_SHAPES), figureShapeName);

using E4 = FigureTest;

TEST_F(E4, FansTurnAlongTheirPivotsWhileEachPartKeepsItsScale)
{
    Model* m = build(makeE4);
    expectVec(m->nodes[4]->getScale(), 1, 4, 1);
    expectVec(m->nodes[8]->getScale(), 1, 5, 1);
    expectVec(m->nodes[12]->getScale(), 1, 5, 1);
    for (int second : {5, 9, 13})
        expectVec(m->nodes[second]->getScale(), 1, 3, 1);
    for (int r = 1; r <= 12; ++r)
        for (int i = 1; i <= 3; ++i) {
            int pivot = 6 + 8 * r + 2 * i;
            expectTurn(m->nodes[pivot]->getOrientation(), -1.7, 1, 0, 0);
            expectVec(m->nodes[pivot + 1]->getScale(), 1, 3, 1);
            expectVec(m->nodes[pivot + 1]->getPosition(), 5, 1, 0);
        }
    EXPECT_EQ(m->currentPartIndex, 44);
    EXPECT_EQ(m->currentNode, m->nodes[102]);
}

TEST_F(E4, PulseAtItsWindowBoundaries)
{
    Model* m = build(makeE4);
    m->startAnimation(0, true, 0);
    m->update(0);
    expectVec(m->nodes[17]->getScale(), 1, 3, 1);
    expectTurn(m->nodes[2]->getOrientation(), 0, 0, 0, 1);
    m->update(1150);
    expectVec(m->nodes[17]->getScale(), 2, 1.5, 1.5);
    expectVec(m->nodes[16]->getScale(), 1, 1, 1); // pivots are in no group
    m->update(1500);
    expectVec(m->nodes[17]->getScale(), 2, 1.5, 1.5);
    m->update(2001);
    m->update(2002);
    EXPECT_EQ(m->animations[0].startMs, 2002);
}

} // namespace
