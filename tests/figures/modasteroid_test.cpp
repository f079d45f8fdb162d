// The asteroid: its node table with meshes of its own, its 45 draws in the
// order of its script, and its pulses at the window boundaries.
#include "figures/modasteroid.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

// The fixture hands instance number 0 to the first figure it builds.
const FigureShape ASTEROID_SHAPES[] = {
    {"modasteroid", makeModasteroid, 5, 6, 4, {4, 0, 0, 0, 0}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}},
     // the second and third outer cubes hang from the core again (selectPart 0)
     {{1, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 2}},
     {"modasteroid01CUBE1", "modasteroid01CUBE0"}},
};

// Three values drawn z first.
struct Drawn {
    double x, y, z;
};
Drawn draw(double x0, double x1, double y0, double y1, double z0, double z1)
{
    double z = randomReal(z0, z1);
    double y = randomReal(y0, y1);
    double x = randomReal(x0, x1);
    return {x, y, z};
}

// The axis z, y, x, then the angle.
Ogre::Quaternion drawTurn()
{
    Drawn axis = draw(0, 0.5, 0, 0.5, 0, 0.5);
    double angle = randomReal(-1.7, 1.7);
    return rotationOf(float(angle), float(axis.x), float(axis.y), float(axis.z));
}

void expectTurn(const Ogre::SceneNode* node, const Ogre::Quaternion& q)
{
    EXPECT_TRUE(node->getOrientation().equals(q, Ogre::Radian(1e-5f))) << node->getOrientation() << " " << q;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Asteroid, FigureStructure, ::testing::ValuesIn(ASTEROID_SHAPES), figureShapeName);

using AsteroidTest = FigureTest;

TEST_F(AsteroidTest, DrawsFortyFiveValuesInTheOrderOfItsScript)
{
    const unsigned seed = 31337;
    plat::srand(seed);
    Model* m = build(makeModasteroid);
    EXPECT_EQ(drawsSinceSeed(seed), 45);

    plat::srand(seed);
    Drawn coreScale = draw(0.8, 1.4, 1.8, 2.5, 0.9, 1.3);
    // per corner: y before x, or z before y for vertex 3
    double y0 = randomReal(-0.8, 0.2), x0 = randomReal(-1.3, 0.4);
    double y1 = randomReal(-0.3, 0.8), x1 = randomReal(-0.4, 0.4);
    double y2 = randomReal(-0.1, 0.4), x2 = randomReal(-0.5, 0.2);
    double z3 = randomReal(-0.7, 0.3), y3 = randomReal(-0.5, -0.2);
    double y4 = randomReal(0, 0.5), x4 = randomReal(-0.4, 0);
    double y5 = randomReal(-0.8, 0.6), x5 = randomReal(0.3, 0.7);
    // the second cube: scale, turn, place
    Drawn scale1 = draw(0.8, 1.2, 0.5, 0.8, 0.3, 1.2);
    Ogre::Quaternion turn1 = drawTurn();
    Drawn place1 = draw(-0.8, 0.8, -1.3, 1.3, -0.9, 0.9);
    // the third and fourth: turn, scale, place
    Ogre::Quaternion turn2 = drawTurn();
    Drawn scale2 = draw(1.2, 1.4, 0.5, 0.8, 0.3, 0.5);
    Drawn place2 = draw(-0.8, 0.8, -1.3, 1.3, -0.9, 0.9);
    Ogre::Quaternion turn3 = drawTurn();
    Drawn scale3 = draw(0.2, 0.4, 0.5, 0.6, 0.4, 1.5);
    Drawn place3 = draw(-0.8, 0.8, -0.8, 1.2, -0.9, 0.9);

    expectVec(m->nodes[1]->getScale(), 0.5, 0.5, 0.5);
    expectVec(m->nodes[2]->getScale(), coreScale.x, coreScale.y, coreScale.z);
    const std::vector<Ogre::Vector3>& offsets = m->parts[0]->cache->vertexOffsets;
    expectVec(offsets[0], x0, y0, 0);
    expectVec(offsets[1], x1, y1, 0);
    expectVec(offsets[2], x2, y2, 0);
    expectVec(offsets[3], 0, y3, z3);
    expectVec(offsets[4], x4, y4, 0);
    expectVec(offsets[5], x5, y5, 0);
    expectVec(offsets[6], 0, 0, 0);
    expectVec(offsets[7], 0, 0, 0);

    expectVec(m->nodes[3]->getScale(), scale1.x, scale1.y, scale1.z);
    expectTurn(m->nodes[3], turn1);
    expectVec(m->nodes[3]->getPosition(), place1.x, place1.y, place1.z);
    expectVec(m->nodes[4]->getScale(), scale2.x, scale2.y, scale2.z);
    expectTurn(m->nodes[4], turn2);
    expectVec(m->nodes[4]->getPosition(), place2.x, place2.y, place2.z);
    expectVec(m->nodes[5]->getScale(), scale3.x, scale3.y, scale3.z);
    expectTurn(m->nodes[5], turn3);
    expectVec(m->nodes[5]->getPosition(), place3.x, place3.y, place3.z);
}

// Every asteroid builds both of its meshes: its keys carry its instance
// number. Past the variant limit each part draws its variant first.
TEST_F(AsteroidTest, EveryAsteroidHasMeshesOfItsOwn)
{
    for (int i = 0; i < 10; ++i) {
        Model* m = build(makeModasteroid);
        EXPECT_EQ(m->name, "modasteroid" + std::to_string(i));
        EXPECT_EQ(m->parts[0]->mesh->getName(), "modasteroid" + std::to_string(i) + std::to_string(i + 1) + "CUBE1");
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(m->parts[p]->builtMesh, p < 2) << "asteroid " << i << " part " << p;
    }
    const unsigned seed = 5;
    plat::srand(seed);
    Model* eleventh = build(makeModasteroid);
    EXPECT_EQ(drawsSinceSeed(seed), 45 + 4);
    EXPECT_TRUE(eleventh->parts[0]->builtMesh);
    EXPECT_TRUE(eleventh->parts[1]->builtMesh);
}

// Animation 2 started at 40,000 ms: the pulse between 40,000 and 40,600, no
// write at exactly 300 or 600 ms, the end in the frame after the first one
// past 600 ms; the cube keeps its last pulse scale.
TEST_F(AsteroidTest, PulseAtItsWindowBoundaries)
{
    Model* m = build(makeModasteroid);
    Ogre::SceneNode* cube = m->nodes[4];
    m->startAnimation(2, false, 40000);
    m->update(40000);
    expectVec(cube->getScale(), 1.4, 0.6, 0.4);
    m->update(40150);
    expectVec(cube->getScale(), 1.45, 0.75, 0.45);
    m->update(40300);
    expectVec(cube->getScale(), 1.45, 0.75, 0.45);
    m->update(40450);
    expectVec(cube->getScale(), 1.35, 0.7, 0.4);
    m->update(40600);
    expectVec(cube->getScale(), 1.35, 0.7, 0.4);
    EXPECT_FALSE(m->animations[2].trackDone[0]);
    m->update(40601);
    EXPECT_TRUE(m->animations[2].trackDone[0]);
    EXPECT_TRUE(m->isAnimating());
    m->update(40617);
    EXPECT_FALSE(m->isAnimating());
    expectVec(cube->getScale(), 1.35, 0.7, 0.4);
    EXPECT_FALSE(m->finished);
}

// The destruction writes the core's scale after its position in the same
// frame, so the scale is always a later writer (averaged with the present).
TEST_F(AsteroidTest, DestructionBlendsTheCoreScaleAsALaterWrite)
{
    Model* m = build(makeModasteroid);
    Ogre::SceneNode* core = m->nodes[2];
    Ogre::Vector3 built = core->getScale();
    m->playAnimation(0, false, 0);
    m->update(375);
    expectVec(core->getPosition(), 0, 0, -7.5);
    Ogre::Vector3 keyed(0.7f, 0.6f, 0.75f);
    Ogre::Vector3 expected = (keyed + built) / 2;
    expectVec(core->getScale(), expected.x, expected.y, expected.z);
    expectVec(m->nodes[3]->getPosition(), 6, 7.5, 0);
}
