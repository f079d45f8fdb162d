// The flower: its node table and group order, the petal mesh, its
// animations at the window ends, and the flings it shares with the bumper
// (and, on other groups, with the blocker).
#include "tests/figures/figure_fixture.h"

#include "figures/blocker.h"
#include "figures/bumper.h"
#include "figures/flower.h"
#include "platform/random.h"

#include <OgreHardwareBuffer.h>

namespace {

const FigureShape FLOWER_SHAPES[] = {
    {"Flower",
     makeFlower,
     1,
     33,
     13,
     {12, 0, 0, 1, 0},
     {{0, 1}, {1, 12}, {3, 8}, {7, 1}, {10, 1}, {11, 1}, {13, 2}, {14, 2}, {15, 1}},
     {{1, 0}, {2, 1},
      {3, 1},                          // sphere pivot on the figure pivot (select node 1)
      {4, 3},
      {5, 2}, {12, 2}, {19, 2}, {26, 2}, // every arm on the arm base pivot (select node 2)
      {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9}, {11, 10}, {28, 27}, {29, 28}, {32, 31}},
     {"flower1SPHERE1", "flower1CUBE1"}},
};

std::vector<int> groupNodes(const Model& m, int group)
{
    std::vector<int> nodes;
    auto range = m.groups.equal_range(group);
    for (auto it = range.first; it != range.second; ++it)
        nodes.push_back(it->second);
    return nodes;
}

bool sameValue(const Value& a, const Value& b) { return a == b; }

bool sameWindows(const Track& a, const Track& b)
{
    if (a.windows.size() != b.windows.size())
        return false;
    for (std::size_t w = 0; w < a.windows.size(); ++w) {
        const Window& x = a.windows[w];
        const Window& y = b.windows[w];
        if (x.startMs != y.startMs || x.endMs != y.endMs || x.writes.size() != y.writes.size())
            return false;
        for (std::size_t c = 0; c < x.writes.size(); ++c)
            if (x.writes[c].channel != y.writes[c].channel || !sameValue(x.writes[c].from, y.writes[c].from) ||
                !sameValue(x.writes[c].to, y.writes[c].to))
                return false;
    }
    return true;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Flower, FigureStructure, ::testing::ValuesIn(FLOWER_SHAPES), figureShapeName);

using FlowerTest = FigureTest;

TEST_F(FlowerTest, GroupsHoldTheirNodesInTaggingOrder)
{
    Model* m = build(makeFlower);
    EXPECT_EQ(groupNodes(*m, 1), (std::vector<int>{6, 8, 10, 13, 15, 17, 20, 22, 24, 27, 29, 31}));
    EXPECT_EQ(groupNodes(*m, 3), (std::vector<int>{9, 11, 16, 18, 23, 25, 30, 32}));
    EXPECT_EQ(groupNodes(*m, 13), (std::vector<int>{29, 31}));
    EXPECT_EQ(groupNodes(*m, 14), (std::vector<int>{15, 17}));
    EXPECT_EQ(groupNodes(*m, 15), (std::vector<int>{28}));
}

// The first cube of arm 1 builds the petal mesh and edits it; the other
// eleven cubes and every later flower of the variant draw it as edited.
TEST_F(FlowerTest, TheFirstCubeShapesThePetalForAllTwelve)
{
    Model* m = build(makeFlower);
    for (int p = 1; p < 13; ++p) {
        EXPECT_EQ(m->parts[p]->mesh, m->parts[1]->mesh);
        EXPECT_EQ(m->parts[p]->builtMesh, p == 1);
    }
    const Ogre::Vector3 petal[6] = {{-0.25f, -4.75f, -0.5f}, {0.25f, -4.75f, -0.5f}, {0, 4, 1},
                                    {0, 4, 1},               {-0.5f, -1, 1},         {0.5f, -1, 1}};
    Ogre::HardwareBufferLockGuard lock(m->parts[1]->vertexBuffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const float* v = static_cast<const float*>(lock.pData);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Ogre::Vector3(v[8 * i], v[8 * i + 1], v[8 * i + 2]).positionEquals(petal[i], 1e-6f))
            << "vertex " << i;
    EXPECT_TRUE(Ogre::Vector3(v[48], v[49], v[50]).positionEquals(Ogre::Vector3(1, 1, 1), 1e-6f));
}

// The idle loop at its window ends, and the pulse, which leaves the arm base
// pivot at the scale of its last frame rather than the build's.
TEST_F(FlowerTest, AnimationsAtTheWindowEnds)
{
    Model* m = build(makeFlower);
    Ogre::SceneNode* pivot = m->nodes[1];
    m->playAnimation(1, true, 0);
    m->update(1000);
    EXPECT_TRUE(pivot->getOrientation().equals(rotationOf(5, 0, 0, 1), Ogre::Radian(1e-4f)));
    m->update(1999);
    Ogre::Quaternion held = pivot->getOrientation();
    m->update(2000);
    EXPECT_EQ(pivot->getOrientation(), held);
    m->update(2150);
    EXPECT_TRUE(pivot->getOrientation().equals(rotationOf(5, 0, 0, 1), Ogre::Radian(1e-4f)));
    m->update(2300);
    m->update(2301);
    EXPECT_EQ(m->animations[1].startMs, 0);
    m->update(2317);
    EXPECT_EQ(m->animations[1].startMs, 2317);

    Ogre::SceneNode* base = m->nodes[2];
    m->playAnimation(2, false, 5000);
    m->update(5000);
    EXPECT_TRUE(base->getScale().positionEquals(Ogre::Vector3(1, 1, 1), 1e-6f));
    m->update(5150);
    EXPECT_TRUE(base->getScale().positionEquals(Ogre::Vector3(1, 1, 1), 1e-6f));
    m->update(5225);
    EXPECT_TRUE(base->getScale().positionEquals(Ogre::Vector3(1, 1.5f, 1), 1e-6f));
    m->update(5300);
    m->update(5301);
    m->update(5317);
    EXPECT_FALSE(m->isAnimating());
    EXPECT_TRUE(base->getScale().positionEquals(Ogre::Vector3(1, 1.5f, 1), 1e-6f));
}

// The bumper's animations 3 to 5 are the flower's own tracks on the same
// groups; the blocker runs them on its pyramids' groups 3 to 5.
TEST(Flings, TheFlowersFlingsAreTheBumpersAndTheBlockers)
{
    for (int id = 3; id <= 5; ++id) {
        SCOPED_TRACE("animation " + std::to_string(id));
        ASSERT_EQ(FLOWER_ANIMATIONS[id].size(), 1u);
        const Track& f = FLOWER_ANIMATIONS[id][0];
        EXPECT_EQ(f.group, 10 + id);
        EXPECT_EQ(f.endMs(), 1100);
        const Track& b = BUMPER_ANIMATIONS[id][0];
        EXPECT_EQ(b.group, f.group);
        EXPECT_TRUE(sameWindows(b, f));
        const Track& k = BLOCKER_ANIMATIONS[id][0];
        EXPECT_EQ(k.group, id);
        EXPECT_TRUE(sameWindows(k, f));
    }
    // Animation 3: position first in both windows; 4 and 5: rotation first in
    // the first window, position first in the second.
    EXPECT_EQ(FLOWER_ANIMATIONS[3][0].windows[0].writes[0].channel, POSITION);
    EXPECT_EQ(FLOWER_ANIMATIONS[4][0].windows[0].writes[0].channel, ROTATION);
    EXPECT_EQ(FLOWER_ANIMATIONS[5][0].windows[0].writes[0].channel, ROTATION);
    for (int id = 3; id <= 5; ++id)
        EXPECT_EQ(FLOWER_ANIMATIONS[id][0].windows[1].writes[0].channel, POSITION);
}

// Animation 3 on a flower and on a bumper: the same positions on their
// group 13 nodes at the same elapsed times, nothing written at 450, done after 1100.
TEST_F(FlowerTest, TheFlingRunsAlikeOnFlowerAndBumper)
{
    Model* f = build(makeFlower);
    Model* b = build(makeBumper);
    Ogre::SceneNode* fn = f->nodes[29];
    Ogre::SceneNode* bn = b->nodes[23];
    for (Model* m : {f, b})
        m->playAnimation(3, false, 0);
    for (int now : {0, 225, 449}) {
        f->update(now);
        b->update(now);
        // The position is each node's first write; the rotation after it is
        // blended with the node's own orientation, which differs.
        EXPECT_EQ(fn->getPosition(), bn->getPosition()) << now;
    }
    // At 225 ms the position was halfway to (10, -12, -8) as the first writer.
    f->update(225);
    EXPECT_TRUE(fn->getPosition().positionEquals(Ogre::Vector3(5.385f, -5.765f, -4), 1e-4f)) << fn->getPosition();
    Ogre::Vector3 held = fn->getPosition();
    f->update(450);
    EXPECT_EQ(fn->getPosition(), held);
    f->update(775);
    EXPECT_TRUE(fn->getPosition().positionEquals(Ogre::Vector3(-24.5f, -1006, -11.5f), 1e-3f)) << fn->getPosition();
    for (Model* m : {f, b}) {
        m->update(1100);
        m->update(1101);
        EXPECT_TRUE(m->isAnimating());
        m->update(1117);
        EXPECT_FALSE(m->isAnimating());
    }
}
