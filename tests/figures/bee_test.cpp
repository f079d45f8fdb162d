// The bee: its node table for both chain lengths, the chain's draws, the
// variants past the limit, window boundaries, and the idle loop going on
// through beat pulses and hit reactions.
#include "tests/figures/figure_fixture.h"

#include "figures/bee.h"
#include "platform/random.h"

#include <cmath>
#include <set>

namespace {

const std::map<int, int> beeGroups(int k)
{
    return {{1, 12}, {2, k}, {3, 7}, {4, 1}, {10, 1}, {11, 1}, {12, 1}};
}

// The limbs and spheres (nodes 0 to 49) are the same for every bee; b is the
// last chain cube's node, 50 + 2k.
std::vector<std::pair<int, int>> beeParents(int k)
{
    int b = 50 + 2 * k;
    std::vector<std::pair<int, int>> p = {
        {1, 0},   {2, 1},   {3, 2},
        {4, 3},   {7, 6},   {8, 7},   {14, 13}, // limb A: hip, apex socket, elbow, last segment
        {15, 3},                                // limb B's hip on the second sphere (select part 1)
        {26, 3},                                // the third sphere on the second (select part 1)
        {27, 26}, {38, 26},                     // limbs C and D on the third (select current - 3)
        {49, 26},                               // the tail on the third (select current - 6)
        {50, 49}, {51, 50}, {52, 51},           // first chain pass
        {53, 52},                               // the second pass hangs below the first cube
        {b + 1, b}, {b + 2, b + 1}, {b + 6, b + 5}, {b + 7, b + 6}, {b + 8, b + 7},
        {b + 10, b + 9}, {b + 12, b + 11}, {b + 15, b + 14},
    };
    return p;
}

const std::vector<std::string> BEE_MESHES = {"bee1SPHERE0", "bee1PYRAMID0", "bee1CUBE0",
                                             "bee1CUBE1",   "bee1CUBE2",    "bee1PYRAMID1"};

// Seed 2: the third draw gives 2; seed 1: it gives 3.
const FigureShape BEE_SHAPES[] = {
    {"ChainOfTwo", makeBee, 2, 70, 25, {9, 13, 0, 3, 0}, beeGroups(2), beeParents(2), BEE_MESHES},
    {"ChainOfThree", makeBee, 1, 72, 26, {10, 13, 0, 3, 0}, beeGroups(3), beeParents(3), BEE_MESHES},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Bee, FigureStructure, ::testing::ValuesIn(BEE_SHAPES), figureShapeName);

namespace {

class BeeTest : public FigureTest {
protected:
    Ogre::SceneNode* firstOfGroup(Model* m, int group)
    {
        auto it = m->groups.find(group);
        return it == m->groups.end() ? nullptr : m->nodes[it->second];
    }
};

int nthDraw(unsigned seed, int n)
{
    plat::srand(seed);
    int r = 0;
    for (int i = 0; i < n; ++i)
        r = plat::rand();
    return r;
}

Ogre::Quaternion turn(double angle, double x, double y, double z) { return rotationOf(angle, x, y, z); }

void expectTurn(const Ogre::Quaternion& q, const Ogre::Quaternion& expected)
{
    EXPECT_TRUE(q.equals(expected, Ogre::Radian(1e-3f))) << q << " expected " << expected;
}

} // namespace

// The chain's bound is drawn before every pass, the failing test included:
// three draws for two cubes, four for three, and nothing else draws while
// the first bee of a variant is built.
TEST_F(BeeTest, TheChainDrawsItsBoundBeforeEveryPass)
{
    for (auto [seed, draws] : {std::pair<unsigned, int>{2, 3}, {1, 4}}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        int expectedNext = nthDraw(seed, draws + 1);
        plat::srand(seed);
        build(makeBee);
        EXPECT_EQ(plat::rand(), expectedNext);
        delete built.back();
        built.pop_back();
        instanceCounter[FIGURE_BEE] = 0;
    }
}

// The first five bees build their own six meshes and run the edits; from
// the sixth on every part step draws a variant of 1 to 4 and takes its mesh
// from the cache.
TEST_F(BeeTest, PastTheFifthEveryPartTakesACachedMeshOfVariantsOneToFour)
{
    plat::srand(5);
    for (int i = 0; i < 5; ++i) {
        Model* m = build(makeBee);
        EXPECT_TRUE(m->parts.front()->builtMesh);
        EXPECT_EQ(m->parts.front()->mesh->getName(), "bee" + std::to_string(i + 1) + "SPHERE0");
    }
    std::set<std::string> variants;
    for (int i = 0; i < 4; ++i) {
        Model* m = build(makeBee);
        for (const Shape* part : m->parts) {
            EXPECT_FALSE(part->builtMesh);
            const std::string& mesh = part->mesh->getName();
            ASSERT_GE(mesh.size(), 4u);
            EXPECT_TRUE(mesh[3] >= '1' && mesh[3] <= '4') << mesh;
            variants.insert(mesh.substr(0, 4));
        }
    }
    EXPECT_GT(variants.size(), 1u);
    EXPECT_EQ(variants.count("bee5"), 0u);
}

// The tail's edits shape every "CUBE2" cube, and the socket below the second
// of them sits at its face 4 centre, whose edited corners cancel in the mean.
TEST_F(BeeTest, TheTailSocketSitsAtTheLowerFaceCentre)
{
    plat::srand(2);
    Model* m = build(makeBee);
    int b = 54;
    const Ogre::Vector3& p = m->nodes[b + 7]->getPosition();
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, -1, 1e-6);
    EXPECT_NEAR(p.z, 0, 1e-6);
    // Limb sockets at the pyramids' apexes.
    const Ogre::Vector3& apex = m->nodes[7]->getPosition();
    EXPECT_NEAR(apex.y, 1, 1e-6);
}

// Idle loop: key times 500 and 750 fall in no window, so nothing is written.
TEST_F(BeeTest, TheIdleLoopWritesNothingAtItsKeyTimes)
{
    plat::srand(2);
    Model* m = build(makeBee);
    Ogre::SceneNode* segment = firstOfGroup(m, 1);
    const int start = 1000;
    m->playAnimation(1, true, start);
    m->update(start + 499);
    expectTurn(segment->getOrientation(), turn(1.07 * 0.998, 0.998, 0, 0));
    Ogre::Quaternion held = segment->getOrientation();
    m->update(start + 500);
    EXPECT_EQ(segment->getOrientation(), held);
    m->update(start + 501);
    expectTurn(segment->getOrientation(), turn(1.07, 1, 0, 0));
    m->update(start + 750);
    expectTurn(segment->getOrientation(), turn(1.07, 1, 0, 0));
    // The chain: 0.8 at 500, none at 750, -0.8 at 1000.
    Ogre::SceneNode* chain = firstOfGroup(m, 2);
    m->update(start + 875);
    expectTurn(chain->getOrientation(), turn(-0.4, 0.5, 0, 0));
    // First frame past 1500: the flags are set and nothing moves; the next
    // frame restarts the loop at its own time.
    m->update(start + 1400);
    Ogre::Quaternion last = segment->getOrientation();
    m->update(start + 1501);
    EXPECT_EQ(segment->getOrientation(), last);
    EXPECT_EQ(m->animations[1].startMs, start);
    m->update(start + 1517);
    EXPECT_EQ(m->animations[1].startMs, start + 1517);
    ASSERT_EQ(m->activeAnimations, std::vector<std::int32_t>{1});
}

// A beat pulse or hit starts animation 2 beside the running idle loop: both
// write the limb segments in one frame (the loop's rotation first, the
// pulse's scale then blended with the node's scale as the second writer),
// the pulse ends after 250 ms and the loop goes on, pulse after pulse.
TEST_F(BeeTest, TheIdleLoopGoesOnThroughPulsesAndHits)
{
    plat::srand(2);
    manager->environmentVariant = 0;
    clock.set(2000);
    Model* m = manager->createModel(5, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                    Ogre::Vector3::UNIT_SCALE, nullptr);
    ASSERT_NE(m, nullptr);
    built.push_back(m);
    ASSERT_EQ(m->activeAnimations, std::vector<std::int32_t>{1});
    Ogre::SceneNode* segment = firstOfGroup(m, 1);

    int now = 2000;
    for (; now < 2300; now += 16)
        m->update(now);
    // hit: the play screen starts 2 without stopping 1
    const int hit = now;
    m->startAnimation(2, false, hit);
    EXPECT_EQ(m->activeAnimations, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(m->animations[1].startMs, 2000);

    Ogre::Vector3 before = segment->getScale();
    m->update(hit + 75);
    // Idle loop at elapsed hit + 75 - 2000 in its first window, written first.
    double e = hit + 75 - 2000;
    double f = e / 500.0;
    expectTurn(segment->getOrientation(), turn(1.07 * f, f, 0, 0));
    // Pulse at 75 ms: (1, 1.5, 1), averaged with the scale the node had.
    EXPECT_NEAR(segment->getScale().x, (1 + before.x) / 2, 1e-5);
    EXPECT_NEAR(segment->getScale().y, (1.5 + before.y) / 2, 1e-5);

    now = hit + 75;
    int pulses = 1;
    while (now < 9000) {
        now += 16;
        m->update(now);
        if (m->activeAnimations.size() == 1 && pulses < 6 && now % 700 < 16) {
            m->startAnimation(2, false, now);
            ++pulses;
        }
        // 1 never leaves the list, and 2 never outlives its 250 ms by more
        // than the two frames the driver takes to end it.
        ASSERT_FALSE(m->activeAnimations.empty());
        ASSERT_EQ(m->activeAnimations.front(), 1);
        if (m->activeAnimations.size() == 2) {
            ASSERT_LE(now - m->animations[2].startMs, 250 + 2 * 16);
        }
    }
    EXPECT_GT(pulses, 3);
    EXPECT_EQ(m->activeAnimations, std::vector<std::int32_t>{1});
    EXPECT_TRUE(m->animations[1].loop);
    // still moving
    Ogre::Quaternion q = segment->getOrientation();
    m->update(now + 200);
    EXPECT_FALSE(segment->getOrientation().equals(q, Ogre::Radian(1e-4f)));
    std::string where;
    EXPECT_TRUE(nodesAreSound(*m, &where)) << where;
}

// A pulse started again while it runs starts from its first key.
TEST_F(BeeTest, APulseStartedAgainRestartsFromItsFirstKey)
{
    plat::srand(2);
    Model* m = build(makeBee);
    Ogre::SceneNode* chain = firstOfGroup(m, 2);
    m->startAnimation(2, false, 1000);
    m->update(1180);
    m->startAnimation(2, false, 1190);
    m->update(1190 + 75);
    EXPECT_NEAR(chain->getScale().y, 1.1, 1e-5);
    EXPECT_EQ(m->activeAnimations, std::vector<std::int32_t>{2});
}

// The destruction ends in the second frame past 1000 ms and marks the figure
// finished; while it runs nothing else starts.
TEST_F(BeeTest, TheDestructionEndsAndBlocksOtherStarts)
{
    plat::srand(2);
    Model* m = build(makeBee);
    m->startAnimation(1, true, 0);
    m->playAnimation(0, false, 1000);
    m->startAnimation(2, false, 1100);
    EXPECT_EQ(m->activeAnimations, std::vector<std::int32_t>{0});
    m->update(2000);
    m->update(2001);
    EXPECT_FALSE(m->finished);
    EXPECT_TRUE(m->isAnimating());
    m->update(2017);
    EXPECT_TRUE(m->finished);
    EXPECT_FALSE(m->isAnimating());
}
