// Scenery figure e5: e4 with its ring pyramids further out; its pulse slides
// them too, as a second write that follows its keys.
#include "figures/e5.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

const FigureShape E5_SHAPES[] = {
    {"e5", makeE5, 1, 110, 45, {3, 42, 0, 0, 0}, {{1, 1}, {2, 36}, {4, 3}},
     {{1, 0}, {2, 1}, {3, 2}, {5, 4}, {6, 3}, {10, 7}, {13, 12}, {14, 1}, {15, 14}, {16, 15},
      {17, 16}, {18, 16}, {19, 18}, {20, 18}, {21, 20}, {22, 14}, {102, 94}, {109, 108}},
     {"e51CUBE1", "e51PYRAMID5", "e51PYRAMID0"}},
};
INSTANTIATE_TEST_SUITE_P(E5, FigureStructure, ::testing::ValuesIn(E5_SHAPES), figureShapeName);

using E5 = FigureTest;

TEST_F(E5, PulseThenSlideAsTheSecondWrite)
{
    Model* m = build(makeE5);
    expectVec(m->nodes[17]->getPosition(), 5, 13, 0);
    expectVec(m->nodes[4]->getScale(), 1, 4, 1);
    m->startAnimation(0, true, 0);
    m->update(0);
    expectVec(m->nodes[17]->getScale(), 1, 3, 1);
    expectVec(m->nodes[17]->getPosition(), 5, 13, 0);
    m->update(400); // the slide's key value is averaged with where it stands
    expectVec(m->nodes[17]->getScale(), 2, 2, 1);
    expectVec(m->nodes[17]->getPosition(), 5, (15.5 + 13) / 2, 0);
    m->update(800); // key time: neither channel writes
    expectVec(m->nodes[17]->getScale(), 2, 2, 1);
    expectVec(m->nodes[17]->getPosition(), 5, (15.5 + 13) / 2, 0);
    m->update(2001);
    EXPECT_EQ(m->animations[0].trackDone, std::vector<bool>(2, true));
}

} // namespace
