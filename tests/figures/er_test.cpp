// Scenery figure er: e2's build with flat rings, and its three animations.
#include "figures/er.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

const FigureShape ER_SHAPES[] = {
    {"er", makeEr, 1, 69, 48, {1, 2, 45, 0, 0}, {{1, 1}, {2, 45}, {4, 1}},
     {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 1}, {7, 6}, {8, 7}, {9, 8}, {12, 11}, {13, 6}, {14, 13},
      {62, 55}, {63, 62}, {68, 67}},
     {"er1CUBE1", "er1PYRAMID5", "er1TETRAHEDRON0"}},
};
INSTANTIATE_TEST_SUITE_P(Er, FigureStructure, ::testing::ValuesIn(ER_SHAPES), figureShapeName);

using Er = FigureTest;

TEST_F(Er, RingsFanOutInOnePlane)
{
    Model* m = build(makeEr);
    EXPECT_EQ(m->name, "er");
    for (int r = 1; r <= 9; ++r) {
        expectVec(m->nodes[7 * r - 1]->getPosition(), 0, 0, 0);
        expectTurn(m->nodes[7 * r - 1]->getOrientation(), 0.7, 0, 0, 1);
        expectVec(m->nodes[7 * r]->getPosition(), 0, 5, 10);
    }
}

TEST_F(Er, AnimationsAtTheirWindowBoundariesAndBlends)
{
    Model* m = build(makeEr);
    // 2: turn, then move as the wing pivot's second write of the frame.
    m->startAnimation(2, true, 0);
    m->update(0);
    expectTurn(m->nodes[2]->getOrientation(), 0, 0, 0, 1);
    expectVec(m->nodes[2]->getPosition(), 0, 0, -75);
    m->update(750);
    expectTurn(m->nodes[2]->getOrientation(), 12, 0.5, 0, 1);
    expectVec(m->nodes[2]->getPosition(), (-2.5 + 0) / 2, (7.5 + 0) / 2, (-60 - 75) / 2.0);
    m->update(1500);
    expectVec(m->nodes[2]->getPosition(), (-2.5 + 0) / 2, (7.5 + 0) / 2, (-60 - 75) / 2.0);
    m->update(1750); // back toward Z
    expectTurn(m->nodes[2]->getOrientation(), 12, 0.5, 0, 1);
    m->playAnimation(-1, false, 0);
    m->startAnimation(3, true, 0); // beyond the table
    EXPECT_FALSE(m->isAnimating());

    // 1: pulse from the built scale; 250 and 500 are key times.
    m->startAnimation(1, false, 3000);
    m->update(3000);
    expectVec(m->nodes[8]->getScale(), 0.5, 0.3, 4);
    m->update(3125);
    expectVec(m->nodes[8]->getScale(), 0.75, 0.3, 4);
    m->update(3250);
    expectVec(m->nodes[8]->getScale(), 0.75, 0.3, 4);
    m->update(3501);
    m->update(3502);
    EXPECT_FALSE(m->isAnimating());

    // 1 and 0 together on a fresh er (0 started last, since a running 0
    // blocks later starts): the turn is the tetrahedra's second write and
    // meets the pulse's scale halfway from the built orientation.
    Model* f = build(makeEr);
    f->startAnimation(1, false, 4000);
    f->startAnimation(0, false, 4000);
    f->update(4125);
    expectVec(f->nodes[8]->getScale(), 0.75, 0.3, 4);
    expectTurn(f->nodes[8]->getOrientation(), 5 * 125 / 1500.0 / 2, 0, 0, 1);
    f->startAnimation(2, false, 4000); // blocked by 0, started last
    EXPECT_EQ(f->activeAnimations, (std::vector<int>{1, 0}));
}

} // namespace
