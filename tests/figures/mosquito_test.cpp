// The mosquito: its node table for one, two and three segment passes, its
// draws (the lift height, then one bound per loop test), and the window
// boundaries and channel orders of its animations.
#include "figures/mosquito.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

namespace {

// n segment passes: 15 + 8n nodes, 6 + 4n parts (4 + 4n cubes, 2
// pyramids); joints 15 + 8k under F(k) (9, then 10 + 8k) and 19 + 8k
// under 14 + 8k.
std::map<int, int> mosquitoGroups(int n)
{
    return {{0, 1}, {1, 1}, {2, 1}, {3, n}, {4, n}, {5, 2 * n}, {6, 2}, {7, 2 * n}, {10, n}, {11, n}, {12, 1}};
}

std::vector<std::pair<int, int>> mosquitoParents(int n)
{
    std::vector<std::pair<int, int>> parents = {{1, 0}, {2, 1}, {3, 2}, {4, 3},  {5, 4},   {6, 5},   {7, 6},
                                                {8, 7}, {9, 8}, {10, 6}, {11, 10}, {12, 11}, {13, 12}, {14, 13}};
    for (int k = 0; k < n; ++k) {
        parents.push_back({15 + 8 * k, k == 0 ? 9 : 10 + 8 * k});
        parents.push_back({16 + 8 * k, 15 + 8 * k});
        parents.push_back({18 + 8 * k, 17 + 8 * k});
        parents.push_back({19 + 8 * k, 14 + 8 * k});
        parents.push_back({21 + 8 * k, 20 + 8 * k});
        parents.push_back({22 + 8 * k, 21 + 8 * k});
    }
    return parents;
}

const std::vector<std::string> MOSQUITO_MESHES = {"mosquito1PYRAMID1", "mosquito1PYRAMID2", "mosquito1CUBE1",
                                                  "mosquito1CUBE2",    "mosquito1CUBE4",    "mosquito1CUBE5"};

// Seeds 5, 1 and 2 give one, two and three passes.
const FigureShape MOSQUITO_SHAPES[] = {
    {"mosquito_one_pass", makeMosquito, 5, 23, 10, {8, 2, 0, 0, 0}, mosquitoGroups(1), mosquitoParents(1),
     MOSQUITO_MESHES},
    {"mosquito_two_passes", makeMosquito, 1, 31, 14, {12, 2, 0, 0, 0}, mosquitoGroups(2), mosquitoParents(2),
     MOSQUITO_MESHES},
    {"mosquito_three_passes", makeMosquito, 2, 39, 18, {16, 2, 0, 0, 0}, mosquitoGroups(3), mosquitoParents(3),
     MOSQUITO_MESHES},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Mosquito, FigureStructure, ::testing::ValuesIn(MOSQUITO_SHAPES), figureShapeName);

using MosquitoTest = FigureTest;

// The lift height, then randomInt(1, 4) before every pass and once more for
// the failing test: 2 + n draws for n passes; past the variant limit one
// more before each of the 6 + 4n parts.
TEST_F(MosquitoTest, DrawsTheLiftThenOneBoundPerLoopTest)
{
    for (unsigned seed : {5u, 1u, 2u, 40u, 41u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        plat::srand(seed);
        Model* m = build(makeMosquito);
        int n = (int(m->parts.size()) - 6) / 4;
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 3);
        EXPECT_EQ(drawsSinceSeed(seed), 2 + n);

        plat::srand(seed);
        double lift = randomReal(0.03, 1.86);
        expectVec(m->nodes[5]->getPosition(), 0, lift, 0);
        int passes = 0;
        while (passes < randomInt(1, 4))
            ++passes;
        EXPECT_EQ(passes, n);
    }
    const unsigned seed = 9;
    plat::srand(seed);
    Model* sixth = build(makeMosquito);
    int n = (int(sixth->parts.size()) - 6) / 4;
    EXPECT_EQ(drawsSinceSeed(seed), 2 + n + 6 + 4 * n);
    for (const Shape* part : sixth->parts)
        EXPECT_FALSE(part->builtMesh);
}

// The loop's cubes reuse the meshes the fixed steps made in the same build,
// edits included; a mosquito that found the meshes sockets its pyramid at
// the edited base like the first one of the variant, the same way up.
TEST_F(MosquitoTest, LoopPartsShareTheEditedMeshes)
{
    plat::srand(2);
    Model* m = build(makeMosquito);
    for (std::size_t p = 6; p < m->parts.size(); ++p) {
        EXPECT_FALSE(m->parts[p]->builtMesh) << "part " << p;
        EXPECT_EQ(m->parts[p]->cache, m->parts[2 + (p - 6) % 4]->cache) << "part " << p;
    }
    for (int i = 0; i < 5; ++i)
        build(makeMosquito);
    Model* later = built.back();
    ASSERT_FALSE(later->parts[0]->builtMesh);
    const Ogre::Vector3 base = m->nodes[3]->getPosition();
    expectVec(later->nodes[3]->getPosition(), base.x, base.y, base.z);
    Ogre::Vector3 firstUp = m->nodes[3]->getOrientation() * Ogre::Vector3::UNIT_Y;
    Ogre::Vector3 laterUp = later->nodes[3]->getOrientation() * Ogre::Vector3::UNIT_Y;
    EXPECT_GT(firstUp.dotProduct(laterUp), 0.99f);
}

// Animations 3 to 5 write position and rotation in window 1 in opposite
// orders: 3 writes the position first (as it is keyed), 4 and 5 write it
// second (averaged with the build position). Nothing is written at 450 ms.
TEST_F(MosquitoTest, ThrowsWriteTheirChannelsInTheirWindowOrder)
{
    plat::srand(5);
    Model* m = build(makeMosquito);
    Ogre::SceneNode* loopCube5 = m->nodes[22];
    Ogre::SceneNode* loopCube2 = m->nodes[18];
    Ogre::SceneNode* fixedCube2 = m->nodes[9];
    Ogre::Vector3 built2 = loopCube2->getPosition();
    Ogre::Vector3 builtFixed = fixedCube2->getPosition();

    m->playAnimation(3, false, 0);
    m->startAnimation(4, false, 0);
    m->startAnimation(5, false, 0);
    m->update(0);
    expectVec(loopCube5->getPosition(), 0.77, 0.47, 0);
    expectVec(loopCube2->getPosition(), (-0.77 + built2.x) / 2, (0.47 + built2.y) / 2, built2.z / 2);
    expectVec(fixedCube2->getPosition(), (-0.95 + builtFixed.x) / 2, (0.3 + builtFixed.y) / 2,
              builtFixed.z / 2);

    m->update(225);
    Ogre::Vector3 before = loopCube5->getPosition();
    m->update(450);
    expectVec(loopCube5->getPosition(), before.x, before.y, before.z);
    m->update(775); // window 2, position first again: as keyed
    expectVec(loopCube5->getPosition(), 10 + 0.5 * -69, -12 + 0.5 * -1988, -8 + 0.5 * -7);
    // the first side's cubes fly up, the others down
    EXPECT_GT(loopCube2->getPosition().y, 900);
    EXPECT_LT(fixedCube2->getPosition().y, -900);
}

// The idle loop: at exactly 500 and 1000 ms nothing is written; it restarts
// in the frame after the first one past 1000 ms.
TEST_F(MosquitoTest, IdleLoopAtItsWindowBoundaries)
{
    plat::srand(5);
    Model* m = build(makeMosquito);
    Ogre::SceneNode* carrier = m->nodes[6];
    m->playAnimation(1, true, 0);
    m->update(250);
    EXPECT_TRUE(carrier->getOrientation().equals(rotationOf(0.5, 0, 1, 0), Ogre::Radian(1e-5f)));
    m->update(500);
    EXPECT_TRUE(carrier->getOrientation().equals(rotationOf(0.5, 0, 1, 0), Ogre::Radian(1e-5f)));
    m->update(750);
    EXPECT_TRUE(carrier->getOrientation().equals(rotationOf(0.5, 0, 1, 0), Ogre::Radian(1e-5f)));
    m->update(1000);
    EXPECT_FALSE(m->animations[1].trackDone[0]);
    m->update(1001);
    EXPECT_TRUE(m->animations[1].trackDone[0]);
    EXPECT_TRUE(m->animations[1].trackDone[1]);
    m->update(1017);
    EXPECT_EQ(m->animations[1].startMs, 1017);
    EXPECT_TRUE(m->isAnimating());
}
