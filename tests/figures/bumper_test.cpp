// The bumper: its node table, its sockets on edited faces (the same for a
// bumper whose meshes came from the cache), and its animations at key times.
#include "tests/figures/figure_fixture.h"

#include "figures/bumper.h"
#include "platform/random.h"

namespace {

const FigureShape BUMPER_SHAPES[] = {
    {"Bumper",
     makeBumper,
     1,
     24,
     12,
     {8, 1, 0, 3, 0},
     {{1, 2}, {2, 1}, {3, 3}, {4, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}, {13, 1}, {14, 1}, {15, 1}},
     {{1, 0}, {2, 1}, {3, 2},
      {4, 1},                               // second block on the outer pivot (select node 1)
      {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9},
      {11, 4},                              // second arm on the second block (select part 1)
      {12, 11}, {16, 15},
      {17, 3},                              // the stalk on the first block (select part 0)
      {18, 17}, {19, 18}, {20, 19},
      {21, 4},                              // the tail cube straight on the second block
      {22, 21}, {23, 22}},
     {"bumper1CUBE1", "bumper1CUBE2", "bumper1CUBE3", "bumper1CUBE4", "bumper1CUBE5", "bumper1CUBE6",
      "bumper1CUBE7", "bumper1CUBE8", "bumper1SPHERE0", "bumper1PYRAMID0"}},
};

struct Socket {
    int node;
    Ogre::Vector3 at;
};
// The face centres of the edited meshes.
const Socket SOCKETS[] = {
    {5, {-0.75f, 0, 0}}, {7, {0, 1.45f, 0}}, {9, {0, 1, 0}},   {11, {0.75f, 0, 0}},        {13, {0, 1.45f, 0}},
    {15, {0, 1, 0}},     {17, {0, 0, -1}},   {19, {0, 1, 0}}, {22, {0, -0.575f, 1.125f}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Bumper, FigureStructure, ::testing::ValuesIn(BUMPER_SHAPES), figureShapeName);

using BumperTest = FigureTest;

TEST_F(BumperTest, SelectsLeaveTheirNodesInTheRightGroups)
{
    Model* m = build(makeBumper);
    EXPECT_EQ(m->nodeCount, 24);
    EXPECT_EQ(m->currentPart(), m->parts[11]);
    EXPECT_EQ(m->parts[11]->kind, SHAPE_PYRAMID);
    auto inGroup = [&](int g, int node) {
        auto range = m->groups.equal_range(g);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == node)
                return true;
        return false;
    };
    EXPECT_TRUE(inGroup(4, 1));
    for (const auto& entry : m->groups)
        EXPECT_NE(entry.second, 3) << "node 3 in group " << entry.first;
    EXPECT_TRUE(inGroup(3, 23));
    EXPECT_TRUE(inGroup(13, 23));
    EXPECT_TRUE(inGroup(8, 23));
}

// The first bumper of a variant builds its ten meshes and runs the edits; a
// bumper of the same variant under a second manager (as the end screen's
// figures are built while the play screen's live) builds none, yet hangs
// every socket at the same edited face centre.
TEST_F(BumperTest, SocketsSitOnTheEditedFacesWhereverTheMeshesCameFrom)
{
    Model* maker = build(makeBumper);
    Model* sharer = nullptr;
    {
        ModelManager second(scene);
        sharer = build(makeBumper);
    }
    for (const Shape* part : maker->parts)
        EXPECT_TRUE(part->builtMesh || part->kind == SHAPE_SPHERE);
    for (const Shape* part : sharer->parts)
        EXPECT_FALSE(part->builtMesh);
    EXPECT_EQ(meshKeys(*sharer), meshKeys(*maker));
    for (const Socket& s : SOCKETS)
        for (Model* m : {maker, sharer}) {
            const Ogre::Vector3& p = m->nodes[s.node]->getPosition();
            EXPECT_TRUE(p.positionEquals(s.at, 1e-5f))
                << (m == maker ? "maker" : "sharer") << " node " << s.node << " at " << p;
        }
    for (std::size_t i = 0; i < maker->nodes.size(); ++i) {
        EXPECT_TRUE(sharer->nodes[i]->_getDerivedPosition().positionEquals(
            maker->nodes[i]->_getDerivedPosition() + sharer->root->_getDerivedPosition() -
                maker->root->_getDerivedPosition(),
            1e-4f))
            << "node " << i;
    }
}

// The arms swing from their build tilt; key times write nothing; the
// spheres' pulse and turn end after 1000 ms.
TEST_F(BumperTest, AnimationsAtTheirKeyTimes)
{
    Model* m = build(makeBumper);
    Ogre::SceneNode* upperArm = m->nodes[12];
    Ogre::Quaternion built = upperArm->getOrientation();
    m->playAnimation(1, true, 0);
    m->update(0);
    EXPECT_TRUE(upperArm->getOrientation().equals(built, Ogre::Radian(1e-5f)));
    m->update(499);
    Ogre::Quaternion held = upperArm->getOrientation();
    m->update(500);
    EXPECT_EQ(upperArm->getOrientation(), held);
    m->update(1000);
    EXPECT_EQ(upperArm->getOrientation(), held);
    m->update(1001);
    EXPECT_TRUE(upperArm->getOrientation().equals(rotationOf(1.2 - 0.2 * 0.004, 0.2 * 0.996, 0, -0.43),
                                                  Ogre::Radian(1e-4f)));

    Ogre::SceneNode* stalkSphere = m->nodes[20];
    m->playAnimation(2, false, 5000);
    m->update(5125);
    EXPECT_TRUE(stalkSphere->getScale().positionEquals(Ogre::Vector3(1.75f, 2.5f, 1.75f), 1e-5f));
    m->update(6000);
    m->update(6001);
    EXPECT_TRUE(m->isAnimating());
    m->update(6017);
    EXPECT_FALSE(m->isAnimating());
}
