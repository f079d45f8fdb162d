// Scenery figure e3: three chained wings and fifteen rings of pyramid
// chains; its looping motion at the window boundaries.
#include "figures/e3.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

const FigureShape E3_SHAPES[] = {
    {"e3", makeE3, 1, 89, 54, {3, 51, 0, 0, 0}, {{1, 1}, {2, 45}, {4, 3}},
     // each wing from the cube before, the rings from the base pivot and
     // each other
     {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 3}, {7, 6}, {8, 7}, {9, 8}, {10, 7}, {11, 10}, {13, 12},
      {14, 1}, {15, 14}, {16, 15}, {17, 16}, {18, 17}, {19, 14}, {84, 79}, {88, 87}},
     {"e31CUBE1", "e31PYRAMID5", "e31PYRAMID0"}},
};
INSTANTIATE_TEST_SUITE_P(E3, FigureStructure, ::testing::ValuesIn(E3_SHAPES), figureShapeName);

using E3 = FigureTest;

TEST_F(E3, WingsAndRingsStandWhereTheyWereBuilt)
{
    Model* m = build(makeE3);
    for (int pivot : {2, 6, 10}) {
        expectVec(m->nodes[pivot]->getPosition(), 0, 0, -125);
        expectTurn(m->nodes[pivot]->getOrientation(), 1.1, 0, 0, 1);
    }
    expectVec(m->nodes[3]->getPosition(), 0, 55, 0);
    expectVec(m->nodes[7]->getPosition(), 0, 15, 0);
    expectVec(m->nodes[11]->getPosition(), 0, 15, 0);
    for (int pyramid : {4, 5, 8, 9, 12, 13})
        expectVec(m->nodes[pyramid]->getScale(), 1, 3, 1);
    expectVec(m->nodes[16]->getScale(), 3, 0.3, 1);
    expectVec(m->nodes[16]->getPosition(), 1, 0, 0);
    EXPECT_EQ(m->currentPartIndex, 53);
    EXPECT_EQ(m->currentNode, m->nodes[84]);
}

TEST_F(E3, MotionAtItsWindowBoundaries)
{
    Model* m = build(makeE3);
    m->startAnimation(0, true, 0);
    m->update(0); // the wings jump from their built turn to the first key
    expectTurn(m->nodes[2]->getOrientation(), 0, 0, 0, 1);
    expectVec(m->nodes[16]->getPosition(), 1, 0, 0);
    m->update(400);
    expectVec(m->nodes[16]->getPosition(), -3.5, 0, 0);
    expectTurn(m->nodes[6]->getOrientation(), -1.5, 0.5, 0, 1);
    m->update(800); // key time: nothing written
    expectVec(m->nodes[16]->getPosition(), -3.5, 0, 0);
    m->update(1150);
    expectVec(m->nodes[16]->getPosition(), -2.5, 0, 0);
    expectTurn(m->nodes[10]->getOrientation(), 5.5, 1, 0, 1);
    m->update(2000);
    EXPECT_EQ(m->animations[0].trackDone, std::vector<bool>(2, false));
    m->update(2001);
    EXPECT_EQ(m->animations[0].trackDone, std::vector<bool>(2, true));
    m->update(2002);
    EXPECT_EQ(m->animations[0].startMs, 2002);
    EXPECT_EQ(m->activeAnimations, std::vector<int>{0});
}

} // namespace
