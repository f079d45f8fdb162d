// Scenery figure e2: its node table, its numbered name, meshes that stay
// bounded however many background markers show one, and its animation at
// the window boundaries.
#include "figures/e2.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include <OgreEntity.h>

namespace {

// Shared by e2 and er, whose build differs only in the rings' rise.
const std::vector<std::pair<int, int>> TETRA_SPIRAL_PARENTS = {
    {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 1}, {7, 6}, {8, 7}, {9, 8}, {12, 11}, {13, 6}, {14, 13},
    {62, 55}, {63, 62}, {68, 67}};

const FigureShape E2_SHAPES[] = {
    {"e2", makeE2, 1, 69, 48, {1, 2, 45, 0, 0}, {{1, 1}, {2, 45}, {4, 1}}, TETRA_SPIRAL_PARENTS,
     {"e21CUBE1", "e21PYRAMID5", "e21TETRAHEDRON0"}},
};
INSTANTIATE_TEST_SUITE_P(E2, FigureStructure, ::testing::ValuesIn(E2_SHAPES), figureShapeName);

using E2 = FigureTest;

TEST_F(E2, NameCarriesTheInstanceNumberButMeshKeysTheVariantOnly)
{
    Model* m = makeE2(scene, pool->take(), 7);
    built.push_back(m);
    EXPECT_EQ(m->name, "e27");
    EXPECT_EQ(m->parts[0]->entity->getName(), "e278_Cube3");
    EXPECT_EQ(m->parts[0]->mesh->getName(), "e21CUBE1");
    Model* next = makeE2(scene, pool->take(), 8);
    built.push_back(next);
    EXPECT_EQ(next->parts[0]->mesh->getName(), "e22CUBE1");
    // One mesh per part key within a figure.
    std::set<std::string> keys;
    for (const std::string& k : meshKeys(*m))
        keys.insert(k);
    EXPECT_EQ(keys.size(), 3u);
    EXPECT_EQ(m->currentPartIndex, 47);
    EXPECT_EQ(m->currentNode, m->nodes[62]);
    // Ring r's pivot: a further 0.7 rad about Z and 3 units along Z.
    for (int r = 1; r <= 9; ++r) {
        expectVec(m->nodes[7 * r - 1]->getPosition(), 0, 0, 3);
        expectTurn(m->nodes[7 * r - 1]->getOrientation(), 0.7, 0, 0, 1);
        expectVec(m->nodes[7 * r + 1]->getScale(), 0.5, 0.3, 4);
    }
}

// A figure for every background marker: the engine's meshes stop growing
// once every variant exists.
TEST_F(E2, ManyMarkersUnderOneManagerKeepTheMeshCountBounded)
{
    manager->environmentVariant = 1;
    const int base = customMeshCount();
    auto marker = [&] {
        Model* m = manager->createModel(SCENERY_TYPE, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                        Ogre::Vector3::UNIT_SCALE, nullptr);
        built.push_back(m);
        return m;
    };
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(marker()->name, "e2" + std::to_string(i));
    EXPECT_EQ(customMeshCount(), base + 30);
    for (int i = 0; i < 50; ++i) {
        Model* m = marker();
        for (const Shape* part : m->parts) {
            EXPECT_FALSE(part->builtMesh);
            EXPECT_NE(part->mesh->getName().substr(0, 4), "e210") << "variant 10 is never drawn";
        }
    }
    EXPECT_EQ(customMeshCount(), base + 30);
    EXPECT_EQ(shapeCacheMap.size(), 30u);
}

TEST_F(E2, TurnAtItsWindowBoundaries)
{
    Model* m = build(makeE2);
    m->startAnimation(0, true, 0);
    m->update(0); // the first keys are the build's (unturned) orientations
    expectTurn(m->nodes[1]->getOrientation(), 0, 0, 0, 1);
    expectTurn(m->nodes[2]->getOrientation(), 0, 0, 0, 1);
    expectTurn(m->nodes[8]->getOrientation(), 0, 0, 0, 1);
    m->update(750);
    expectTurn(m->nodes[1]->getOrientation(), 2, 0, 0, 1);
    expectTurn(m->nodes[8]->getOrientation(), 7.5, 0, 0, 1);
    expectTurn(m->nodes[2]->getOrientation(), 7, 0.5, 0, 1);
    m->update(1500); // key time: nothing written
    expectTurn(m->nodes[1]->getOrientation(), 2, 0, 0, 1);
    m->update(1750);
    expectTurn(m->nodes[1]->getOrientation(), 2, 0, 0, 1);
    expectTurn(m->nodes[2]->getOrientation(), 7, 1, 0, 1);
    m->update(2000);
    EXPECT_EQ(m->animations[0].trackDone, std::vector<bool>(3, false));
    m->update(2001);
    EXPECT_EQ(m->animations[0].trackDone, std::vector<bool>(3, true));
    m->update(2010);
    EXPECT_EQ(m->animations[0].startMs, 2010);
    m->startAnimation(1, true, 0);
    EXPECT_EQ(m->activeAnimations, std::vector<int>{0});
}

} // namespace
