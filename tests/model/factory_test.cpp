// The figure factory: its type table, instance numbers, root scales and start
// animations, the scenery choice, bullet styling, placing, and managers made
// and destroyed again and again, also side by side.
#include "tests/model/ogre_fixture.h"
#include "tests/model/test_figures.h"

#include "world/simulationObject.h"

#include <OgreEntity.h>
#include <OgreSubEntity.h>
#include <OgreSceneNode.h>

#include <map>

namespace {

const Ogre::Vector3 HERE(0, 0, 0), UNTURNED(0, 0, 0), ONE(1, 1, 1);

// Bullets and the types of the ships that fired them, as the play world
// would answer.
std::map<const simulationObject*, int> firedBy;
int shooterOf(const simulationObject* bullet)
{
    auto it = firedBy.find(bullet);
    return it == firedBy.end() ? 0 : it->second;
}

struct TubePlacement {
    float x = 0, y = 0, z = 0, angle1 = 0, angle2 = 0, angle3 = 0, scaleX = 1, scaleY = 1, scaleZ = 1;
};

void expectVec(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class FactoryTest : public OgreTest {
protected:
    void SetUp() override
    {
        OgreTest::SetUp();
        ModelManager::useFigureTable(filled.get());
        manager = new ModelManager(scene);
    }
    void TearDown() override
    {
        for (Model* m : figures)
            delete m;
        delete manager;
        firedBy.clear();
        OgreTest::TearDown();
    }
    Model* make(int type, const Ogre::Vector3& scale = ONE, const simulationObject* owner = nullptr)
    {
        Model* m = manager->createModel(type, HERE, UNTURNED, scale, owner);
        if (m)
            figures.push_back(m);
        return m;
    }
    FilledFigureTable filled;
    ModelManager* manager = nullptr;
    std::vector<Model*> figures;
};

} // namespace

TEST_F(FactoryTest, TheGameTableMakesNoFigureForARowWithoutBuilder)
{
    ModelManager::useFigureTable(&gameFigureTable());
    const FigureTable& game = gameFigureTable();
    auto builderOf = [&](int type) -> FigureBuilder {
        if (type == SCENERY_TYPE)
            return game.scenery[manager->environmentVariant].build;
        for (int i = 0; i < game.typeCount; ++i)
            if (game.types[i].typeCode == type)
                return game.types[i].build;
        return nullptr;
    };
    std::size_t freeNodes = pool->freeCount();
    int made = 0;
    for (int type = -1; type < 40; ++type) {
        Model* m = make(type);
        EXPECT_EQ(m != nullptr, builderOf(type) != nullptr) << "type " << type;
        if (m)
            ++made;
    }
    EXPECT_EQ(pool->freeCount() + made, freeNodes);
    EXPECT_EQ(manager->modelCount, made);
    EXPECT_EQ(game.typeCount, 18);
    EXPECT_EQ(game.sceneryCount, ENVIRONMENT_VARIANTS);
}

TEST_F(FactoryTest, InstanceNumbersScalesAndStartAnimations)
{
    clock.set(5000);
    Model* first = make(5);
    Model* none = make(16);
    Model* second = make(22) ? nullptr : make(18);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(first->instanceNumber, 0 + 1);
    EXPECT_EQ(second->instanceNumber, 1 + 1);
    EXPECT_EQ(manager->modelCount, 2);
    EXPECT_EQ(first->activeAnimations, std::vector<int>{1});
    EXPECT_TRUE(first->animations[1].loop);
    EXPECT_EQ(first->animations[1].startMs, 5000);

    struct Case {
        int type;
        Ogre::Vector3 scale;
        bool animates;
    };
    const Case cases[] = {
        {2, {1, 1, 1}, false},     {4, {3.5f, 3.5f, 1}, false}, {6, {1, 1, 1}, true},
        {7, {2, 2, 2}, true},      {11, {4, 4, 3}, false},      {12, {1, 1, 1}, true},
        {13, {3, 3, 3}, true},     {14, {0.75f, 0.75f, 0.75f}, false},
        {17, {1, 1, 1}, true},     {21, {2, 2, 2}, true},       {23, {2, 2, 2}, true},
        {24, {1, 1, 1}, true},     {25, {1, 1, 1}, true},       {26, {1, 1, 1}, true},
        {27, {1, 1, 1}, true},     {3, {1, 1, 2.5f}, false},
    };
    for (const Case& c : cases) {
        Model* m = make(c.type, Ogre::Vector3(7, 7, 7));
        ASSERT_TRUE(m) << "type " << c.type;
        expectVec(m->root->getScale(), c.scale);
        EXPECT_EQ(m->isAnimating(), c.animates) << "type " << c.type;
    }
}

TEST_F(FactoryTest, TheSceneryFigureFollowsTheSchemeChanges)
{
    struct Case {
        int changes;
        std::vector<int> running;
    };
    const Case cases[] = {{0, {}}, {6, {}}, {7, {0}}, {11, {0}}, {14, {2}}, {16, {0}}, {17, {}}};
    int done = 0;
    for (const Case& c : cases) {
        for (; done < c.changes; ++done)
            manager->cycleScheme();
        EXPECT_EQ(manager->environmentVariant, c.changes % ENVIRONMENT_VARIANTS);
        Model* m = make(SCENERY_TYPE);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->activeAnimations, c.running) << c.changes << " changes";
    }
}

TEST_F(FactoryTest, PlacingTheRoot)
{
    Model* m = manager->createModel(5, Ogre::Vector3(1, 3, -80), Ogre::Vector3(0, 90, 0), ONE, nullptr);
    figures.push_back(m);
    expectVec(m->root->getPosition(), Ogre::Vector3(1, -80, 3));
    expectVec(m->root->getOrientation() * Ogre::Vector3::UNIT_X, Ogre::Vector3(0, -1, 0));
    expectVec(m->root->getOrientation() * Ogre::Vector3::UNIT_Z, Ogre::Vector3(0, 0, 1));

    // Roll, then pitch, then yaw, each about the node's own axes.
    TubePlacement p;
    p.angle1 = 30;
    p.angle2 = 45;
    p.angle3 = 60;
    Model* turned = manager->createModel(5, p, nullptr);
    figures.push_back(turned);
    Ogre::Quaternion expected =
        Ogre::Quaternion(Ogre::Degree(-45), Ogre::Vector3::UNIT_Z) *
        Ogre::Quaternion(Ogre::Degree(-30), Ogre::Vector3::UNIT_X) *
        Ogre::Quaternion(Ogre::Degree(-60), Ogre::Vector3::UNIT_Y);
    EXPECT_TRUE(turned->root->getOrientation().equals(expected, Ogre::Radian(1e-4)));
}

TEST_F(FactoryTest, BulletsTakeTheirShootersStyle)
{
    ModelManager::setShooterLookup(shooterOf);
    simulationObject bulletOfTentacle, bulletOfPlayer, bulletOfBee, orphan;
    firedBy = {{&bulletOfTentacle, TENTACLE_TYPE}, {&bulletOfPlayer, PLAYER_TYPE}, {&bulletOfBee, 5}};
    struct Case {
        const simulationObject* owner;
        const char* material;
        Ogre::Vector3 scale;
    };
    const Ogre::Vector3 placed(0.5f, 0.4f, 0.2f);
    const Case cases[] = {
        {&bulletOfTentacle, "bulletColor3", {0.5f, 0.4f, 0.2f}},
        {&bulletOfPlayer, "bulletColor1", {0.625f, 1.0f, 0.25f}},
        {&bulletOfBee, "bulletColor3", {0.75f, 1.2f, 0.3f}},
        {&orphan, "bulletColor3", {0.75f, 1.2f, 0.3f}}, // fired by no one
        {nullptr, "bulletColor3", {0.75f, 1.2f, 0.3f}},
    };
    for (const Case& c : cases) {
        Model* m = make(BULLET_TYPE, placed, c.owner);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->currentPart()->getMaterial()->getName(), c.material);
        EXPECT_EQ(m->currentPart()->entity->getSubEntity(0)->getMaterial()->getName(), c.material);
        expectVec(m->root->getScale(), c.scale);
        EXPECT_FALSE(m->isAnimating());
    }
    ModelManager::setShooterLookup(nullptr);
    Model* m = make(BULLET_TYPE, placed, &bulletOfPlayer);
    EXPECT_EQ(m->currentPart()->getMaterial()->getName(), "bulletColor3");
}

TEST_F(FactoryTest, ScreensEnteredAgainAndAgain)
{
    delete manager;
    manager = nullptr;
    std::size_t meshes = 0;
    for (int entry = 0; entry < 4; ++entry) {
        ASSERT_NO_THROW(manager = new ModelManager(scene));
        for (int type : {5, 8, 8, 13, 3, 5})
            ASSERT_NO_THROW(make(type));
        EXPECT_EQ(figures.front()->parts[0]->mesh->getName(), "walker1SPHERE0");
        for (Model* m : figures)
            delete m;
        figures.clear();
        delete manager;
        manager = nullptr;
        EXPECT_TRUE(shapeCacheMap.empty());
        EXPECT_EQ(entityCount(), 0u);
        std::size_t now = 0;
        auto all = Ogre::MeshManager::getSingleton().getResourceIterator();
        for (; all.hasMoreElements(); all.moveNext())
            ++now;
        if (entry == 0)
            meshes = now;
        EXPECT_EQ(now, meshes) << "entry " << entry;
    }
    EXPECT_EQ(pool->freeCount(), std::size_t(NodePool::INITIAL_NODES));
}

TEST_F(FactoryTest, TheEndScreensManagerLeavesThePlayScreensCacheAlone)
{
    Model* playing = make(5);
    make(8);
    std::size_t records = shapeCacheMap.size();
    ShapeCache* record = playing->parts[0]->cache;

    Ogre::SceneManager* endScene = root->createSceneManager();
    auto* endManager = new ModelManager(endScene);
    EXPECT_EQ(ModelManager::liveManagers(), 2);
    endManager->cycleScheme();
    clock.advance(100);
    endManager->updateFade();
    delete endManager;

    EXPECT_EQ(shapeCacheMap.size(), records);
    EXPECT_EQ(shapeCacheMap.at("walker1SPHERE0"), record);
    EXPECT_EQ(record->meshName, "walker1SPHERE0");
    // The play screen goes on making figures on the records it has.
    Model* later = nullptr;
    ASSERT_NO_THROW(later = make(5));
    EXPECT_EQ(later->parts[0]->cache, record);
    later->parts[0]->selectVertex(3);
    later->parts[0]->setVertex(0, 0, 0);
    root->destroySceneManager(endScene);
}
