// The animation rules: windows and their boundaries, ending and looping, the
// running list and the destruction's block, and the blending of writes.
#include "tests/model/ogre_fixture.h"
#include "tests/model/test_figures.h"

#include <OgreSceneNode.h>

#include <cmath>

namespace {

Value at(double x, double y = 0, double z = 0) { return {x, y, z, 0}; }
Track hold(int group, Channel channel, Value v) { return Track{group, {{0, 100, {{channel, v, v}}}}}; }

const AnimationTable TABLE = {
    /* 0 destruction */ {keyframes(1, POSITION, {{0, at(0)}, {1000, at(0, 10)}})},
    /* 1 keys 0, 500, 750 */ {keyframes(1, POSITION, {{0, at(0)}, {500, at(10)}, {750, at(10, 10)}})},
    /* 2 */ {hold(1, POSITION, at(2))},
    /* 3 */ {hold(1, POSITION, at(4))},
    /* 4 */ {hold(1, POSITION, at(9))},
    /* 5 two groups sharing node 2 */ {hold(1, POSITION, at(2)), hold(2, POSITION, at(4))},
    /* 6 */ {hold(3, ROTATION, {170 * M_PI / 180, 0, 0, 1})},
    /* 7 */ {hold(3, ROTATION, {-170 * M_PI / 180, 0, 0, 1})},
    /* 8 position then rotation in one window */
    {Track{3, {{0, 100, {{POSITION, at(1), at(1)}, {ROTATION, {M_PI / 2, 0, 0, 1}, {M_PI / 2, 0, 0, 1}}}}}}},
    /* 9 no tracks */ {},
    /* 10 writes group 4 */ {hold(4, SCALE, at(3, 3, 3))},
};
const FigureHeader HEADER{FIGURE_TEST1, "mover", 5, 0, &TABLE};

const Ogre::Vector3 SENTINEL(-77, -77, -77);

class AnimationTest : public OgreTest {
protected:
    void SetUp() override
    {
        OgreTest::SetUp();
        figure = new ScriptFigure(HEADER, scene, pool->take(), 0, [](Model& f) {
            f.pushNode(); // node 1: group 1
            f.addNodeToGroup(1);
            f.pushNode(); // node 2: groups 1 and 2
            f.addNodeToGroup(1);
            f.addNodeToGroup(2);
            f.pushNode(); // node 3: group 3
            f.addNodeToGroup(3);
            f.selectNode(0);
            f.pushNode(); // node 4: group 4
            f.addNodeToGroup(4);
        });
    }
    void TearDown() override
    {
        delete figure;
        OgreTest::TearDown();
    }
    Ogre::SceneNode* node(int i) { return figure->nodes[i]; }
    // Whether an update at nowMs writes node 1, and where it puts it.
    bool writes(int nowMs, Ogre::Vector3* where = nullptr)
    {
        node(1)->setPosition(SENTINEL);
        figure->update(nowMs);
        if (where)
            *where = node(1)->getPosition();
        return node(1)->getPosition() != SENTINEL;
    }
    std::vector<int> running() const { return figure->activeAnimations; }

    Model* figure = nullptr;
};

} // namespace

TEST_F(AnimationTest, WindowBoundariesEndingAndTheDoneFlags)
{
    figure->startAnimation(1, false, 1000);
    struct Step {
        int elapsed;
        bool writes;
        float x, y;
    };
    const Step steps[] = {
        {0, true, 0, 0},    {250, true, 5, 0},  {499, true, 9.98f, 0}, {500, false, 0, 0},
        {501, true, 10, 0.04f}, {749, true, 10, 9.96f}, {750, false, 0, 0},
    };
    for (const Step& s : steps) {
        Ogre::Vector3 p;
        EXPECT_EQ(writes(1000 + s.elapsed, &p), s.writes) << "elapsed " << s.elapsed;
        if (s.writes) {
            EXPECT_NEAR(p.x, s.x, 1e-4) << "elapsed " << s.elapsed;
            EXPECT_NEAR(p.y, s.y, 1e-4) << "elapsed " << s.elapsed;
        }
        EXPECT_FALSE(figure->animations[1].trackDone[0]);
    }
    EXPECT_FALSE(writes(1751));
    EXPECT_TRUE(figure->animations[1].trackDone[0]);
    EXPECT_EQ(running(), (std::vector<int>{1}));
    EXPECT_FALSE(writes(1760)); // ends here, writing nothing
    EXPECT_EQ(running(), std::vector<int>{});
    EXPECT_FALSE(figure->finished);
}

TEST_F(AnimationTest, ALoopRestartsAtTheUpdateThatFindsItDone)
{
    figure->startAnimation(1, true, 0);
    writes(751);
    EXPECT_FALSE(writes(800));
    EXPECT_EQ(figure->animations[1].startMs, 800);
    EXPECT_FALSE(figure->animations[1].trackDone[0]);
    Ogre::Vector3 p;
    EXPECT_TRUE(writes(900, &p));
    EXPECT_NEAR(p.x, 2, 1e-4);
    EXPECT_EQ(running(), (std::vector<int>{1}));
}

TEST_F(AnimationTest, TheRunningListAndTheDestructionBlock)
{
    figure->startAnimation(1, true, 0);
    figure->startAnimation(2, false, 0);
    figure->startAnimation(10, false, 0);
    EXPECT_EQ(running(), (std::vector<int>{1, 2, 10}));
    figure->update(150); // 2 and 10 pass their end
    node(4)->setScale(SENTINEL);
    figure->update(160); // 2 ends; 10 moves into its place and waits a frame
    EXPECT_EQ(running(), (std::vector<int>{1, 10}));
    EXPECT_EQ(node(4)->getScale(), SENTINEL);
    figure->update(170);
    EXPECT_EQ(running(), (std::vector<int>{1}));

    figure->startAnimation(int(TABLE.size()), false, 0);
    figure->startAnimation(-1, false, 0);
    EXPECT_EQ(running(), (std::vector<int>{1}));

    figure->startAnimation(0, false, 200);
    EXPECT_EQ(running(), (std::vector<int>{1, 0}));
    figure->startAnimation(2, false, 300);
    figure->startAnimation(0, false, 300);
    EXPECT_EQ(running(), (std::vector<int>{1, 0}));
    EXPECT_EQ(figure->animations[0].startMs, 200);
    figure->update(1201);
    figure->update(1210);
    EXPECT_TRUE(figure->finished);
    EXPECT_EQ(running(), (std::vector<int>{1}));

    figure->startAnimation(0, false, 2000);
    figure->playAnimation(2, false, 2000);
    EXPECT_EQ(running(), (std::vector<int>{2}));
    figure->playAnimation(-1, false, 2000);
    EXPECT_FALSE(figure->isAnimating());

    figure->startAnimation(9, false, 0); // no tracks: ends at its first update
    figure->update(1);
    EXPECT_FALSE(figure->isAnimating());
}

TEST_F(AnimationTest, AnUpdateBeforeTheStartReadsAsLongPast)
{
    figure->startAnimation(1, false, 5000);
    EXPECT_FALSE(writes(4900));
    EXPECT_TRUE(figure->animations[1].trackDone[0]);
    figure->update(4950);
    EXPECT_FALSE(figure->isAnimating());
}

TEST_F(AnimationTest, WritesToOneNodeInAFrameAreAveraged)
{
    for (int id : {2, 3})
        figure->startAnimation(id, false, 0);
    Ogre::Vector3 p;
    writes(10, &p);
    EXPECT_NEAR(p.x, (2 + 4) / 2.0, 1e-5);
    figure->startAnimation(4, false, 0);
    writes(20, &p);
    EXPECT_NEAR(p.x, (2 + 4 + 9) / 3.0, 1e-5);
    EXPECT_EQ(std::count(figure->blendCounts.begin(), figure->blendCounts.end(), 0),
              std::ptrdiff_t(figure->blendCounts.size())); // empty between frames

    // A node in two groups, moved by two tracks of one animation.
    figure->playAnimation(5, false, 0);
    figure->update(10);
    EXPECT_NEAR(node(2)->getPosition().x, 3, 1e-5);
    EXPECT_NEAR(node(1)->getPosition().x, 2, 1e-5);
}

TEST_F(AnimationTest, RotationsAverageTheShorterWayRound)
{
    figure->startAnimation(6, false, 0);
    figure->startAnimation(7, false, 0);
    figure->update(10);
    // +170 and -170 degrees about z meet at 180, not at 0.
    Ogre::Vector3 x = node(3)->getOrientation() * Ogre::Vector3::UNIT_X;
    EXPECT_NEAR(x.x, -1, 1e-4);
    EXPECT_NEAR(node(3)->getOrientation().Norm(), 1, 1e-5);

    // The count is shared by the channels: a rotation after a position in one
    // window blends with the orientation the node had (identity here).
    figure->playAnimation(8, false, 0);
    node(3)->resetOrientation();
    figure->update(10);
    Ogre::Radian angle;
    Ogre::Vector3 axis;
    node(3)->getOrientation().ToAngleAxis(angle, axis);
    EXPECT_NEAR(angle.valueDegrees(), 45, 1e-3);
    EXPECT_NEAR(node(3)->getPosition().x, 1, 1e-6);
}

TEST(RotationValues, ZeroAxesAndOppositeHalves)
{
    EXPECT_EQ(rotationOf(2.0, 0, 0, 0), Ogre::Quaternion::IDENTITY);
    EXPECT_EQ(rotationOf(0.0, 1, 0, 1), Ogre::Quaternion::IDENTITY);
    Ogre::Quaternion q = rotationOf(1.0, 5, 0, 5);
    EXPECT_NEAR(q.Norm(), 1, 1e-6);
    // The mean of a turn and its exact opposite quaternion is the turn itself.
    Ogre::Quaternion p = rotationOf(1.0, 0, 1, 0);
    Ogre::Quaternion minus(-p.w, -p.x, -p.y, -p.z);
    EXPECT_TRUE(blendRotation(p, minus, 1).equals(p, Ogre::Radian(1e-5)));
    EXPECT_TRUE(blendRotation(p, p, 3).equals(p, Ogre::Radian(1e-5)));
}
