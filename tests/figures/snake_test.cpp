// The snake: its chain against the node table for each number of tail
// sections, the draws of its random tail, ring and star geometry, and its
// animations at window edges and channel orders.
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include "figures/snake.h"
#include "platform/random.h"

#include <OgreSceneNode.h>

#include <cmath>

namespace {

// N tail sections: 71 + 40N nodes, 24 + 12N parts, half cubes and half
// tetrahedra; the seeds give N = 1 to 4 for the first snake of a manager.
FigureShape snakeShape(const char* label, unsigned seed, int n)
{
    int last = 70 + 40 * n;
    return {label,
            makeSnake,
            seed,
            71 + 40 * n,
            24 + 12 * n,
            {12 + 6 * n, 0, 12 + 6 * n, 0, 0},
            {{1, n}, {5, 6 * n}, {6, 6 * n}, {7, 6}, {10, 26 + 14 * n}},
            // the head pivot; the pivots after the selects of the head and the
            // first star cube; the turn-over pivot; the first and last tail
            // section and the last cube
            {{1, 0}, {2, 1}, {3, 2}, {13, 12}, {16, 15}, {32, 31}, {71, 70}, {72, 71},
             {last - 39, last - 40}, {last, last - 1}},
            {"snake1TETRAHEDRON1", "snake1CUBE1"}};
}

const FigureShape SNAKE_SHAPES[] = {
    snakeShape("OneTailSection", 30, 1),
    snakeShape("TwoTailSections", 2, 2),
    snakeShape("ThreeTailSections", 1, 3),
    snakeShape("FourTailSections", 3, 4),
};

Ogre::Vector3 positionIn(Ogre::SceneNode* frame, Ogre::SceneNode* node)
{
    return frame->convertWorldToLocalPosition(node->_getDerivedPosition());
}

bool sameTurn(const Ogre::Quaternion& a, const Ogre::Quaternion& b)
{
    return std::fabs(std::fabs(a.Dot(b)) - 1.0f) < 1e-5f;
}

// The tail sections the generator's next draws give: a pass runs while its
// index is below a fresh randomInt(1, 5).
int tailSectionsDrawn()
{
    int n = 0;
    while (n < randomInt(1, 5))
        ++n;
    return n;
}

// Node indexes of every tail-section pivot, by the node table.
int tailPivot(int k) { return 71 + 40 * k; }

} // namespace

INSTANTIATE_TEST_SUITE_P(Snake, FigureStructure, ::testing::ValuesIn(SNAKE_SHAPES), figureShapeName);

using SnakeTest = FigureTest;

TEST_F(SnakeTest, EveryNodeHangsFromTheOneMadeBeforeIt)
{
    for (unsigned seed : {30u, 3u}) {
        plat::srand(seed);
        Model* m = build(makeSnake);
        for (int i = 1; i < int(m->nodes.size()); ++i)
            ASSERT_EQ(parentIndexOf(*m, i), i - 1) << "seed " << seed << " node " << i;
    }
}

// The first snakes of a manager draw only their tail: N + 1 draws, the
// failing test included (there is always one, four passes at most).
TEST_F(SnakeTest, DrawsOnlyItsTailBoundsWhileItsVariantIsItsOwn)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        plat::srand(seed);
        int expected = tailSectionsDrawn();
        int afterwards = plat::rand();

        instanceCounter[FIGURE_SNAKE] = 0; // variant 1 again: no variant draw

        plat::srand(seed);
        Model* m = build(makeSnake);
        ASSERT_EQ(int(m->parts.size()), 24 + 12 * expected) << "seed " << seed;
        EXPECT_EQ(plat::rand(), afterwards) << "seed " << seed << ": not N + 1 draws";
        EXPECT_LE(expected, 4);
    }
}

// From the sixth snake on, every part draws its variant when its mesh key is
// formed, between the tail bounds: 24 body parts, then for every tail pass
// its bound and its 12 parts, then the failing bound.
TEST_F(SnakeTest, SixthSnakeDrawsAVariantForEveryPartInBuildOrder)
{
    for (int i = 0; i < 5; ++i) {
        plat::srand(2);
        build(makeSnake);
    }
    for (unsigned seed : {1u, 3u, 30u, 77u}) {
        plat::srand(seed);
        std::vector<std::string> keys;
        auto drawPart = [&keys](const char* partKey) {
            keys.push_back("snake" + std::to_string(randomInt(1, 5)) + partKey);
        };
        auto drawSegments = [&](int tetrahedra, int cubes) {
            for (int i = 0; i < tetrahedra; ++i)
                drawPart("TETRAHEDRON1");
            for (int i = 0; i < cubes; ++i)
                drawPart("CUBE1");
        };
        drawSegments(6, 6); // head, ring 1, star 1
        drawSegments(6, 6); // ring 2, star 2
        int n = 0;
        while (n < randomInt(1, 5)) {
            drawSegments(6, 6);
            ++n;
        }
        int afterwards = plat::rand();

        plat::srand(seed);
        Model* m = build(makeSnake);
        SCOPED_TRACE("seed " + std::to_string(seed));
        EXPECT_EQ(int(m->parts.size()), 24 + 12 * n);
        EXPECT_EQ(meshKeys(*m), keys);
        EXPECT_EQ(plat::rand(), afterwards);
        for (const Shape* part : m->parts)
            EXPECT_FALSE(part->builtMesh); // all variants 1 to 4 exist already
    }
}

TEST_F(SnakeTest, FirstSnakeEditsItsTwoMeshesOnceAndLaterPartsShareThem)
{
    plat::srand(30);
    Model* m = build(makeSnake);
    ASSERT_TRUE(m->parts[0]->builtMesh);
    ASSERT_TRUE(m->parts[6]->builtMesh);
    for (std::size_t i = 0; i < m->parts.size(); ++i) {
        if (i != 0 && i != 6) {
            EXPECT_FALSE(m->parts[i]->builtMesh) << "part " << i;
        }
    }
    // the head's apex and one star blade corner carry the edits
    expectNear(m->parts[0]->vertices[3],
               Shape::primitiveVertices(SHAPE_TETRAHEDRON)[3] + Ogre::Vector3(0.02f, 0, -0.725f), 1e-6f);
    expectNear(m->parts[6]->vertices[4], Ogre::Vector3(-0.5f, -2, 1), 1e-6f);
    expectNear(m->parts[6]->vertices[6], Ogre::Vector3(1, 0, 1.725f), 1e-6f);
    ShapeCache* cube = shapeCacheMap.at("snake1CUBE1");
    expectNear(cube->vertexOffsets[5], Ogre::Vector3(-0.5f, -1, 0), 1e-6f);

    // a second snake builds variant 2 with the same edits
    Model* second = build(makeSnake);
    EXPECT_TRUE(second->parts[6]->builtMesh);
    expectNear(shapeCacheMap.at("snake2CUBE1")->vertexOffsets[5], Ogre::Vector3(-0.5f, -1, 0), 1e-6f);
}

// Ring 1 closes into a hexagon of side 0.725 in the head pivot's frame; the
// cubes of every star meet at their star's centre pivot.
TEST_F(SnakeTest, RingsAreHexagonsAndStarsMeetAtTheirCentres)
{
    plat::srand(3); // four tail sections
    Model* m = build(makeSnake);
    Ogre::SceneNode* head = m->nodes[1];
    const Ogre::Vector3 ring1[6] = {{0, 0, 0},          {0.6279f, 0, -0.3625f}, {0.6279f, 0, -1.0875f},
                                    {0, 0, -1.45f},     {-0.6279f, 0, -1.0875f}, {-0.6279f, 0, -0.3625f}};
    for (int j = 0; j < 6; ++j)
        expectNear(positionIn(head, m->nodes[2 + 2 * j]), ring1[j], 1e-4f);

    // every other ring: its six tetrahedra 0.725 apart in a closed hexagon
    std::vector<int> rings = {35};
    for (int k = 0; k < 4; ++k)
        rings.push_back(tailPivot(k) + 4);
    for (int first : rings) {
        Ogre::SceneNode* frame = m->nodes[first - 3]; // the ring's first joint pivot
        for (int j = 0; j < 6; ++j) {
            Ogre::Vector3 a = positionIn(frame, m->nodes[first + 3 * j]);
            Ogre::Vector3 b = positionIn(frame, m->nodes[first + 3 * ((j + 1) % 6)]);
            EXPECT_NEAR(a.distance(b), 0.725f, 2e-4f) << "ring at node " << first << " side " << j;
            EXPECT_NEAR(a.y, 0.0f, 1e-4f);
        }
    }

    // stars: centre pivot, then its cubes
    std::vector<std::pair<int, std::vector<int>>> stars = {
        {14, {15, 18, 21, 24, 27, 30}}, {52, {55, 58, 61, 64, 67, 70}}};
    for (int k = 0; k < 4; ++k) {
        int centre = tailPivot(k) + 21;
        stars.push_back({centre, {}});
        for (int j = 0; j < 6; ++j)
            stars.back().second.push_back(centre + 3 + 3 * j);
    }
    for (const auto& star : stars) {
        Ogre::SceneNode* centre = m->nodes[star.first];
        for (int cube : star.second)
            expectNear(positionIn(centre, m->nodes[cube]), Ogre::Vector3::ZERO, 1e-4f);
    }

    // turn-over and tail-section offset pivots
    EXPECT_TRUE(sameTurn(m->nodes[32]->getOrientation(), rotationOf(3.14, 1, 0, 0)));
    for (int k = 0; k < 4; ++k) {
        Ogre::SceneNode* offset = m->nodes[tailPivot(k) + 1];
        EXPECT_TRUE(sameTurn(offset->getOrientation(), Ogre::Quaternion::IDENTITY)) << "section " << k;
        expectNear(offset->getPosition(), Ogre::Vector3(0.02f, 4.5f, 0.725f), 1e-6f);
    }
}

TEST_F(SnakeTest, IdleLoopWritesNothingAtKeyTimesAndRestartsAfterItsEnd)
{
    plat::srand(2); // two tail sections
    Model* m = build(makeSnake);
    Ogre::SceneNode* section = m->nodes[tailPivot(0)];
    m->playAnimation(1, true, 1000);

    m->update(1000); // s = 0: angle 1 about the zero axis
    EXPECT_TRUE(sameTurn(section->getOrientation(), Ogre::Quaternion::IDENTITY));
    m->update(1249);
    Ogre::Quaternion before = section->getOrientation();
    EXPECT_FALSE(sameTurn(before, Ogre::Quaternion::IDENTITY));
    m->update(1250);
    EXPECT_EQ(section->getOrientation(), before);
    m->update(1251);
    EXPECT_TRUE(sameTurn(section->getOrientation(), rotationOf(0.996, 0.3 * 0.996, 0.1 * 0.996, 0)));

    m->update(1999);
    before = section->getOrientation();
    m->update(2001); // flags only
    EXPECT_EQ(section->getOrientation(), before);
    EXPECT_EQ(m->animations[1].startMs, 1000);
    m->update(2010); // restart, still no write
    EXPECT_EQ(section->getOrientation(), before);
    EXPECT_EQ(m->animations[1].startMs, 2010);
    m->update(2135); // elapsed 125: halfway to the first key
    EXPECT_TRUE(sameTurn(section->getOrientation(), rotationOf(1, 0.15, 0.05, 0)));
}

// The beat pulse scales every tail-section pivot alike, so the scales
// compound down the tail.
TEST_F(SnakeTest, BeatPulseScalesEveryTailSectionAndCompounds)
{
    plat::srand(3);
    Model* m = build(makeSnake);
    m->playAnimation(2, false, 0);
    m->update(50);
    for (int k = 0; k < 4; ++k)
        expectNear(m->nodes[tailPivot(k)]->getScale(), Ogre::Vector3(1.5f, 1, 1), 1e-6f);
    Ogre::Vector3 last = m->nodes[tailPivot(3)]->_getDerivedScale();
    Ogre::Vector3 first = m->nodes[tailPivot(0)]->_getDerivedScale();
    EXPECT_NEAR(last.x / first.x, 1.5f * 1.5f * 1.5f, 1e-4f);
    m->update(225); // 200..250: (1, 2, 1) to (1, 1, 2), factor 1/50
    expectNear(m->nodes[tailPivot(2)]->getScale(), Ogre::Vector3(1, 1.5f, 1.5f), 1e-6f);
}

// Animation 3 writes position first; 4 and 5 turn first in their first
// window, so their position is the node's second write and is averaged with
// the built position.
TEST_F(SnakeTest, FlingsWriteTheirChannelsInTheirOrder)
{
    plat::srand(30);
    Model* m = build(makeSnake);
    int starHinge = tailPivot(0) + 23; // first tail-star hinge (group 5)
    int ringHinge = tailPivot(0) + 3;  // first tail-ring hinge (group 6)
    int star2Hinge = 54;               // group 7

    m->playAnimation(3, false, 0);
    m->update(0);
    expectNear(m->nodes[starHinge]->getPosition(), Ogre::Vector3(0.77f, 0.47f, 0), 1e-6f);

    m->playAnimation(4, false, 0);
    m->update(0);
    EXPECT_TRUE(sameTurn(m->nodes[ringHinge]->getOrientation(), Ogre::Quaternion::IDENTITY));
    expectNear(m->nodes[ringHinge]->getPosition(), Ogre::Vector3(-0.385f, 0.235f, -0.3625f), 1e-6f);

    m->playAnimation(5, false, 0);
    m->update(0);
    EXPECT_TRUE(sameTurn(m->nodes[star2Hinge]->getOrientation(), Ogre::Quaternion::IDENTITY));
    // star hinges are built at the origin
    expectNear(m->nodes[star2Hinge]->getPosition(), Ogre::Vector3(-0.475f, 0.15f, 0), 1e-6f);

    // the second window writes position first: now a first writer
    m->update(450); // key time: nothing
    m->update(775); // s = 0.5
    expectNear(m->nodes[star2Hinge]->getPosition(), Ogre::Vector3(-32.475f, -1001.5f, -10), 1e-3f);
}

TEST_F(SnakeTest, DestructionTurnsEveryJointAndFinishes)
{
    plat::srand(30);
    Model* m = build(makeSnake);
    m->playAnimation(0, false, 500);
    m->update(500);
    Ogre::SceneNode* head = m->nodes[1];
    EXPECT_TRUE(sameTurn(head->getOrientation(), Ogre::Quaternion::IDENTITY)); // tilt lost
    expectNear(head->getScale(), Ogre::Vector3(0.1f, 0.1f, 0.1f), 1e-7f);       // scale kept
    EXPECT_TRUE(sameTurn(m->nodes[3]->getOrientation(), Ogre::Quaternion::IDENTITY));
    // ring-1 joint: position averaged with its built (0, 0, -0.725)
    expectNear(m->nodes[3]->getPosition(), Ogre::Vector3(0, 0, -0.3625f), 1e-6f);

    m->update(1500); // key time of the end: nothing, no flag
    EXPECT_FALSE(m->animations[0].trackDone[0]);
    m->update(1501);
    EXPECT_TRUE(m->animations[0].trackDone[0] && m->animations[0].trackDone[1]);
    EXPECT_FALSE(m->finished);
    m->update(1502);
    EXPECT_TRUE(m->finished);
    EXPECT_FALSE(m->isAnimating());
}

TEST_F(SnakeTest, AnimationTableHasTheTrackCountsOfItsHeader)
{
    plat::srand(30);
    Model* m = build(makeSnake);
    std::vector<std::int32_t> tracks;
    for (const AnimationState& a : m->animations)
        tracks.push_back(a.trackCount);
    EXPECT_EQ(tracks, (std::vector<std::int32_t>{2, 1, 1, 1, 1, 1}));
    EXPECT_EQ(m->name, "snake");
    EXPECT_EQ(m->variantLimit, 5);
    EXPECT_EQ(m->paletteKind, 0);
}
