// The figure start, the build operations and steps, mesh keys and variants,
// and taking a figure down.
#include "tests/model/script_figure_test.h"

#include "platform/random.h"

#include <OgreEntity.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <set>

namespace {

const FigureHeader PROBE{FIGURE_TEST1, "probe", 5, 0, nullptr};

class BuildTest : public ScriptFigureTest {
protected:
    Model* build(const std::function<void(Model&)>& script, int instance = 0,
                 const FigureHeader& header = PROBE)
    {
        return buildFigure(header, script, instance);
    }
    Ogre::Vector3 worldUp(Ogre::SceneNode* node) { return node->getOrientation() * Ogre::Vector3::UNIT_Y; }
};

void expectVec(const Ogre::Vector3& actual, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

} // namespace

TEST_F(BuildTest, FigureStartNumbersNamesAndVariants)
{
    int nodesBeforeFirstStep = -1;
    Model* m = build([&](Model& f) {
        nodesBeforeFirstStep = f.nodeCount;
        f.addPart(SHAPE_SPHERE, "SPHERE0", 0);
    }, 4);
    EXPECT_EQ(nodesBeforeFirstStep, 1);
    EXPECT_EQ(m->instanceNumber, 5);
    EXPECT_EQ(m->variant, 1);
    EXPECT_EQ(m->name, "probe");
    EXPECT_EQ(m->parts[0]->entity->getName(), "probe5_Sphere1");
    EXPECT_EQ(m->parts[0]->mesh->getName(), "probe1SPHERE0");
    EXPECT_EQ(m->parts[0]->mesh->getGroup(), MESH_GROUP);

    FigureHeader numbered = PROBE;
    numbered.nameWithInstance = true;
    Model* n = build([](Model& f) { f.addPart(SHAPE_CUBE, "CUBE0", 0); }, 7, numbered);
    EXPECT_EQ(n->name, "probe7");
    EXPECT_EQ(n->variant, 2);
    EXPECT_EQ(n->parts[0]->mesh->getName(), "probe72CUBE0");
    EXPECT_EQ(n->parts[0]->entity->getName(), "probe78_Cube1");
    EXPECT_EQ(n->parts[0]->getMaterial()->getName(), "shipColor1");
}

TEST_F(BuildTest, PartsOfOneKeyShareOneMeshAndEditsRunOnTheMakerOnly)
{
    auto script = [](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE1", 2);
        f.editVertex(6, 2, 0, 0);
        f.addPart(SHAPE_CUBE, "CUBE1", 2);
        f.editVertex(0, 0.5, 0, 0);
        f.addPart(SHAPE_PYRAMID, "PYRAMID0", 1);
    };
    Model* first = build(script);
    ASSERT_EQ(first->parts.size(), 3u);
    EXPECT_TRUE(first->parts[0]->builtMesh);
    EXPECT_FALSE(first->parts[1]->builtMesh);
    EXPECT_EQ(first->parts[0]->mesh, first->parts[1]->mesh);
    EXPECT_EQ(first->parts[0]->vertexBuffer, first->parts[1]->vertexBuffer);
    EXPECT_EQ(shapeCacheMap.size(), 2u);
    ShapeCache* record = shapeCacheMap.at("probe1CUBE1");
    expectVec(record->vertexOffsets[6], 2, 0, 0);
    expectVec(record->vertexOffsets[0], 0, 0, 0); // the sharer's edit did not run
    // The sharer still reads the edited corner where the mesh draws it.
    first->parts[1]->selectVertex(6);
    expectVec(first->parts[1]->getVertex(), 3, 1, 1);

    for (int i = 0; i < 4; ++i)
        build(script, i + 1);
    EXPECT_EQ(shapeCacheMap.size(), 10u); // five variants of two keys

    // The sixth figure draws a variant from 1 to 4 for each part and builds
    // nothing.
    plat::srand(12345);
    std::set<std::string> meshNames;
    for (int i = 0; i < 20; ++i) {
        Model* later = build(script, 10 + i);
        for (Shape* part : later->parts) {
            EXPECT_FALSE(part->builtMesh);
            meshNames.insert(part->mesh->getName());
        }
    }
    EXPECT_EQ(shapeCacheMap.size(), 10u);
    for (const std::string& name : meshNames)
        EXPECT_EQ(name.find("probe5"), std::string::npos) << name;
    EXPECT_TRUE(meshNames.count("probe1CUBE1") && meshNames.count("probe4PYRAMID0"));
    expectVec(record->vertexOffsets[6], 2, 0, 0);
}

TEST_F(BuildTest, UnknownKindsMakeNothing)
{
    Model* m = build([](Model& f) {
        f.addPart(0, "NONE0", 0);
        f.addPart(6, "NONE1", 0);
    });
    EXPECT_TRUE(m->parts.empty());
    EXPECT_EQ(m->nodeCount, 1);
    EXPECT_TRUE(shapeCacheMap.empty());
    EXPECT_EQ(entityCount(), 0u);
}

TEST_F(BuildTest, SelectionsAndGroups)
{
    Model* m = build([](Model& f) {
        f.pushNode();                         // node 1
        f.addPart(SHAPE_CUBE, "CUBE0", 0);    // part 0, node 2
        f.pushNode();                         // node 3
        f.addPart(SHAPE_CUBE, "CUBE0", 0);    // part 1, node 4
        f.selectPart(0);
        f.addNodeToGroup(7);                  // tags node 4, not part 0's node
        f.addNodeToGroup(7);
        f.addNodeToGroup(8);
        f.selectNode(f.currentNodeIndex - 3); // node 1
        f.addNodeToGroup(7);
    });
    EXPECT_EQ(m->nodeCount, 5);
    EXPECT_EQ(m->nodes.size(), 5u);
    EXPECT_EQ(m->groups.count(7), 2u);
    EXPECT_EQ(m->groups.count(8), 1u);
    auto range = m->groups.equal_range(7);
    EXPECT_EQ(range.first->second, 4);
    EXPECT_EQ(std::next(range.first)->second, 1); // in tagging order

    m->selectNode(-3);
    EXPECT_EQ(m->currentNode, m->root);
    EXPECT_EQ(m->currentNodeIndex, 0);
    m->selectNode(1000);
    EXPECT_EQ(m->currentNodeIndex, 4);
    m->selectPart(-1);
    EXPECT_EQ(m->currentPart(), m->parts[0]);
    EXPECT_EQ(m->currentNode, m->nodes[2]);
    EXPECT_EQ(m->currentNodeIndex, 4);
    m->selectPart(99);
    EXPECT_EQ(m->currentPart(), m->parts[1]);
}

TEST_F(BuildTest, RotationsAreSetNotComposed)
{
    Model* m = build([](Model& f) { f.pushNode(); });
    Ogre::SceneNode* node = m->currentNode;
    m->rotateNode(1.0f, 1, 0, 0);
    m->rotateNode(0.5f, 0, 1, 0);
    Ogre::Radian angle;
    Ogre::Vector3 axis;
    node->getOrientation().ToAngleAxis(angle, axis);
    EXPECT_NEAR(angle.valueRadians(), 0.5f, 1e-5);
    expectVec(axis, 0, 1, 0);

    // The axis is not made unit length: (1, 1, 0) turns by more.
    m->rotateNode(1.0f, 1, 1, 0);
    node->getOrientation().ToAngleAxis(angle, axis);
    EXPECT_NEAR(angle.valueRadians(), 2 * std::atan(std::sqrt(2.0) * std::tan(0.5)), 1e-5);

    // A zero axis gives the identity, whatever the angle.
    for (float a : {0.0f, 1.7f, 3.14159265f}) {
        m->rotateNode(a, 0, 0, 0);
        EXPECT_TRUE(node->getOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Radian(1e-6)));
    }
    m->setRootOrientation(0, 1);
    m->root->getOrientation().ToAngleAxis(angle, axis);
    EXPECT_NEAR(angle.valueRadians(), 1.7f, 1e-5);
    expectVec(axis, 0, 0, -1);
}

TEST_F(BuildTest, HangingNodesSitAtTheVertexOrFaceAndPointAlongIt)
{
    Model* m = build([](Model& f) {
        f.addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        f.hangAtVertex(4);
        f.selectPart(0);
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.hangAtFace(4);
        f.selectPart(1);
        f.hangAtFace(0); // face 0 centre (0, 0, -1)
    });
    Ogre::SceneNode* apex = m->nodes[2];
    EXPECT_EQ(apex->getParent(), m->parts[0]->node);
    expectVec(apex->getPosition(), 0, 1, 0);
    expectVec(worldUp(apex), 0, 1, 0);
    Ogre::SceneNode* below = m->nodes[4];
    expectVec(below->getPosition(), 0, -1, 0);
    // Straight down is the engine's half-turn case: it turns the node about
    // its Y axis instead, so the centre lies opposite the socket's +Y.
    expectVec(worldUp(below), 0, 1, 0);
    Ogre::SceneNode* back = m->nodes[5];
    expectVec(back->getPosition(), 0, 0, -1);
    expectVec(worldUp(back), 0, 0, -1);
    EXPECT_EQ(m->currentNode, back);
}

// A figure whose meshes come from the cache (here the first of a variant
// under a second manager, as the end screen's figures are while the play
// screen's live) hangs its sockets where the figure that made and edited the
// meshes hangs them: both read the shared mesh.
TEST_F(BuildTest, AFigureOnCachedMeshesHangsItsSocketsWhereTheMakerDoes)
{
    auto script = [](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.editVertex(0, 0.5, 0, 0);
        f.editVertex(4, 0.5, 0, 0);
        f.editVertex(3, 0, 0.9, 0);
        f.hangAtFace(3);
        f.selectPart(0);
        f.hangAtVertex(3);
        f.addPart(SHAPE_PYRAMID, "PYRAMID0", 0);
        f.editVertex(4, 0, 1, 0);
        f.hangAtFace(0);
        f.hangAtVertex(4);
    };
    Model* maker = build(script);
    Model* sharer = nullptr;
    {
        ModelManager second(scene);
        sharer = build(script, 1);
    }
    ASSERT_TRUE(maker->parts[0]->builtMesh);
    ASSERT_FALSE(sharer->parts[0]->builtMesh);
    ASSERT_FALSE(sharer->parts[1]->builtMesh);
    EXPECT_EQ(sharer->parts[0]->mesh, maker->parts[0]->mesh);
    // Face 3 (4, 0, 3, 7) with its corners 4, 0 and 3 moved.
    expectVec(maker->nodes[2]->getPosition(), -0.75f, 0.225f, 0);
    expectVec(maker->nodes[3]->getPosition(), -1, 1.9f, -1);
    ASSERT_EQ(sharer->nodes.size(), maker->nodes.size());
    for (std::size_t i = 1; i < maker->nodes.size(); ++i) {
        SCOPED_TRACE("node " + std::to_string(i));
        const Ogre::Vector3& p = maker->nodes[i]->getPosition();
        expectVec(sharer->nodes[i]->getPosition(), p.x, p.y, p.z);
        EXPECT_TRUE(sharer->nodes[i]->getOrientation().equals(maker->nodes[i]->getOrientation(),
                                                               Ogre::Radian(1e-3f)))
            << sharer->nodes[i]->getOrientation() << " " << maker->nodes[i]->getOrientation();
    }
}

TEST(RandomDraws, RangesOfTheIntegerDraws)
{
    plat::srand(99);
    std::set<int> a, b, passes24, passes410;
    for (int i = 0; i < 2000; ++i) {
        a.insert(randomInt(1, 5));
        b.insert(randomInt(4, 2));
        double r = randomReal(-1.0, 1.0);
        EXPECT_GE(r, -1.0);
        EXPECT_LT(r, 1.0);
    }
    EXPECT_EQ(a, (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(b, (std::set<int>{2, 3}));
    Model none;
    for (int i = 0; i < 500; ++i) {
        int n = 0;
        none.repeatRandom(2, 4, [&](int) { ++n; });
        passes24.insert(n);
        n = 0;
        none.repeatRandom(4, 10, [&](int) { ++n; });
        passes410.insert(n);
    }
    EXPECT_EQ(passes24, (std::set<int>{2, 3}));
    EXPECT_EQ(*passes410.begin(), 4);
    EXPECT_EQ(*passes410.rbegin(), 9);
    EXPECT_EQ(formatNumber(3), "3");
    EXPECT_EQ(formatNumber(10), "10");
}

TEST_F(BuildTest, VariantsPastTheLimitAreDrawnBelowIt)
{
    Model* m = build([](Model&) {});
    EXPECT_EQ(m->variantName(5), "probe5");
    std::set<std::string> names;
    for (int i = 0; i < 200; ++i)
        names.insert(m->variantName(6));
    EXPECT_EQ(names, (std::set<std::string>{"probe1", "probe2", "probe3", "probe4"}));
    EXPECT_EQ(m->variantName(std::uint32_t(-1)).size(), 6u); // unsigned comparison
}

TEST_F(BuildTest, DeletingAFigureTakesItDownAndReturnsItsRoot)
{
    std::size_t freeBefore = pool->freeCount();
    Model* m = build([](Model& f) {
        f.pushNode();
        f.addPart(SHAPE_SPHERE, "SPHERE0", 0);
        f.addPart(SHAPE_CUBE, "CUBE0", 1);
    });
    Ogre::SceneNode* rootNode = m->root;
    rootNode->setPosition(1, 2, 3);
    EXPECT_EQ(entityCount(), 2u);
    figures.clear();
    delete static_cast<Model*>(m);
    EXPECT_EQ(entityCount(), 0u);
    EXPECT_EQ(rootNode->numChildren(), 0u);
    EXPECT_EQ(pool->freeCount(), freeBefore);
    EXPECT_EQ(pool->take(), rootNode); // back of the queue, keeps its placing
    expectVec(rootNode->getPosition(), 1, 2, 3);
    pool->giveBack(rootNode);
}

TEST_F(BuildTest, ThePlayersResetClearAndDeleteLeavesNothing)
{
    auto script = [](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.pushNode();
        f.addPart(SHAPE_TETRAHEDRON, "TETRAHEDRON0", 1);
    };
    std::size_t sceneNodes = scene->getRootSceneNode()->numChildren();
    for (int round = 0; round < 3; ++round) {
        Model* m = build(script, round);
        figures.clear();
        m->reset();
        EXPECT_EQ(m->nodeCount, 1);
        EXPECT_TRUE(m->parts.empty());
        EXPECT_EQ(m->instanceNumber, round + 2);
        m->clearParts();
        delete m;
        EXPECT_EQ(entityCount(), 0u);
    }
    EXPECT_EQ(scene->getRootSceneNode()->numChildren(), sceneNodes);
}

TEST_F(BuildTest, MaterialOperations)
{
    Model* m = build([](Model& f) {
        f.addPart(SHAPE_CUBE, "CUBE0", 0);
        f.addPart(SHAPE_CUBE, "CUBE0", 4);
    });
    Ogre::MaterialPtr own = m->getMaterial();
    EXPECT_EQ(own->getName(), "shipColor1");
    Ogre::MaterialPtr green =
        Ogre::MaterialManager::getSingleton().getByName("green", MATERIAL_GROUP);
    m->setColour(Ogre::ColourValue(1, 0, 0, 1));
    EXPECT_EQ(m->baseAmbient, own->getTechnique(0)->getPass(0)->getAmbient());
    m->setMaterial(green);
    EXPECT_EQ(m->parts[1]->getMaterial(), green);
    EXPECT_EQ(m->parts[1]->entity->getSubEntity(0)->getMaterial(), green);
    m->restoreMaterials();
    EXPECT_EQ(m->parts[0]->getMaterial(), own);
    EXPECT_EQ(m->parts[1]->getMaterial()->getName(), "shipColor5");
    Model empty;
    EXPECT_FALSE(empty.getMaterial());
}
