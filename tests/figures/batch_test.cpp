// Figures drawn in batches: every figure of the game's table, built by the
// factory on a turned and unevenly scaled root and run through its
// animations, puts every batched vertex where the engine puts the vertex of
// the part's own mesh, with the normal the engine would light it by and the
// face the engine would show; and the batches follow what changes after
// they were made (a damage flash, a colour fade, an animated node, a shared
// mesh edited by a later figure, a hidden part, a deleted figure, a flash
// ending in a frame that moves nothing, a root shrunk to nothing, a
// mirrored part, the lights of the view).
#include "figures/FigureTable.h"
#include "model/FigureBatch.h"
#include "platform/random.h"
#include "tests/figures/batch_checks.h"
#include "tests/model/script_figure_test.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSubEntity.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Failures of the running test so far.
int failures()
{
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    int n = 0;
    for (int i = 0; i < result.total_part_count(); ++i)
        n += result.GetTestPartResult(i).failed();
    return n;
}

// Brings the batches up to date as the drawing does, and compares them with
// the parts; returns the number of parts batched.
std::size_t expectBatchesMatchParts(Model& figure, const std::string& label)
{
    SCOPED_TRACE(label);
    figure.root->_update(true, true);
    FigureBatch* batch = figure.batch;
    EXPECT_NE(batch, nullptr);
    if (!batch)
        return 0;
    batch->refresh();
    const BatchMismatch mismatch = batchMismatch(figure);
    EXPECT_TRUE(mismatch.none()) << mismatch;
    std::size_t parts = 0;
    for (std::size_t b = 0; b < batch->batchCount(); ++b)
        parts += batch->partsOf(b).size();
    return parts;
}

class FigureBatches : public ScriptFigureTest {
protected:
    void SetUp() override
    {
        ScriptFigureTest::SetUp();
        ModelManager::useFigureTable(&gameFigureTable());
    }
    Model* make(int type, const Ogre::Vector3& scale = Ogre::Vector3(1, 1, 1))
    {
        Model* m = manager->createModel(type, Ogre::Vector3(1, 2, 3), Ogre::Vector3(10, 20, 30), scale, nullptr);
        if (m)
            figures.push_back(m);
        return m;
    }
    void forget(Model* m) { figures.erase(std::find(figures.begin(), figures.end(), m)); }
    // A still figure of two parts, a pyramid and then a cube, each of its
    // own colour (so each of its own batch).
    Model* twoParts(const Ogre::Vector3& pyramidAt, const Ogre::Vector3& cubeAt)
    {
        static const FigureHeader header{FIGURE_TEST1, "pair", 5, 0, nullptr};
        return buildFigure(header, [&](Model& m) {
            m.addPart(SHAPE_PYRAMID, "PYRAMID", 1);
            m.setPosition(pyramidAt.x, pyramidAt.y, pyramidAt.z);
            m.selectNode(0);
            m.addPart(SHAPE_CUBE, "CUBE", 0);
            m.setPosition(cubeAt.x, cubeAt.y, cubeAt.z);
        }, 0);
    }
};

// The engine finds the lights that reach the view as it draws a frame;
// headless, it is asked to.
struct ViewLights : Ogre::SceneManager {
    static void find(Ogre::SceneManager* scene, const Ogre::Camera* camera)
    {
        (scene->*(&ViewLights::findLightsAffectingFrustum))(camera);
    }
};

// A view looking down -z at the origin from 60 units, and point lights.
class LitFigureBatches : public FigureBatches {
protected:
    void SetUp() override
    {
        FigureBatches::SetUp();
        camera = scene->createCamera("view");
        camera->setNearClipDistance(0.1f);
        scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 60))->attachObject(camera);
    }
    Ogre::Light* light(const char* name, const Ogre::Vector3& at, float range)
    {
        Ogre::Light* l = scene->createLight(name);
        l->setType(Ogre::Light::LT_POINT);
        l->setAttenuation(range, 1, 0, 0);
        scene->getRootSceneNode()->createChildSceneNode(at)->attachObject(l);
        return l;
    }
    // What a frame does before its figures draw.
    void nextFrame()
    {
        scene->getRootSceneNode()->_update(true, false);
        ViewLights::find(scene, camera);
    }
    Ogre::Camera* camera = nullptr;
};

} // namespace

TEST_F(FigureBatches, EveryFigureOfTheGameIsDrawnWhereItsPartsAre)
{
    plat::srand(7);
    const FigureTable& table = gameFigureTable();
    std::vector<std::pair<int, int>> builds;  // type code, scenery variant
    for (int i = 0; i < table.typeCount; ++i)
        if (table.types[i].typeCode != SCENERY_TYPE)
            builds.push_back({table.types[i].typeCode, -1});
    for (int v = 0; v < table.sceneryCount; ++v)
        builds.push_back({SCENERY_TYPE, v});
    for (const auto& build : builds) {
        manager->environmentVariant = std::max(0, build.second);
        Model* m = make(build.first);
        if (!m)
            continue;
        const std::string label = m->name + " (type " + std::to_string(build.first) + ")";
        std::size_t parts = expectBatchesMatchParts(*m, label + " as built");
        EXPECT_EQ(parts, m->parts.size()) << label;
        EXPECT_LE(m->batch->batchCount(), m->parts.size()) << label;
        // Every animation, each run a while, the batches following.
        for (int id = 0; id < m->animationCount; ++id) {
            m->playAnimation(id, true, int(clock.clockMs()));
            for (int step = 0; step < 3; ++step) {
                clock.advance(97);
                m->update(int(clock.clockMs()));
                expectBatchesMatchParts(*m, label + " animation " + std::to_string(id));
            }
        }
        if (HasFatalFailure())
            return;
    }
}

TEST_F(FigureBatches, AStillFigureIsOneBatchPerMaterial)
{
    Model* m = make(SCENERY_TYPE);  // environ3, no animation started
    ASSERT_NE(m, nullptr);
    m->batch->refresh();
    std::vector<Ogre::Material*> materials;
    for (const Shape* part : m->parts) {
        Ogre::Material* shown = part->entity->getSubEntity(0)->getMaterial().get();
        if (std::find(materials.begin(), materials.end(), shown) == materials.end())
            materials.push_back(shown);
    }
    EXPECT_EQ(m->batch->batchCount(), materials.size());
    for (std::size_t b = 0; b < m->batch->batchCount(); ++b)
        EXPECT_EQ(m->batch->anchorOf(b), m->root);
}

TEST_F(FigureBatches, FollowWhatChangesAfterTheyWereMade)
{
    Model* bee = make(5);
    ASSERT_NE(bee, nullptr);
    bee->batch->refresh();
    const std::size_t plain = bee->batch->batchCount();

    // A damage flash shows one material everywhere; its end brings back each
    // part's own.
    manager->startDamageFlash(bee, int(clock.clockMs()));
    bee->batch->refresh();
    for (std::size_t b = 0; b < bee->batch->batchCount(); ++b)
        EXPECT_EQ(bee->batch->partsOf(b).front()->entity->getSubEntity(0)->getMaterial(), bee->damageMaterial);
    EXPECT_LT(bee->batch->batchCount(), plain + 1);
    clock.advance(1200);
    manager->updateDamageFlashes();
    EXPECT_FALSE(bee->flashing);
    expectBatchesMatchParts(*bee, "after the flash");
    EXPECT_EQ(bee->batch->batchCount(), plain);

    // A colour fade recolours the shared materials the batches show.
    const Ogre::MaterialPtr own = bee->parts.front()->entity->getSubEntity(0)->getMaterial();
    manager->cycleScheme();
    clock.advance(500);
    manager->updateFade();
    bool showsOwn = false;
    for (std::size_t b = 0; b < bee->batch->batchCount(); ++b)
        showsOwn |= bee->batch->partsOf(b).front()->entity->getSubEntity(0)->getMaterial() == own;
    EXPECT_TRUE(showsOwn);

    // A part hidden leaves its batch; shown again, it comes back.
    bee->parts.back()->entity->setVisible(false);
    std::size_t batched = expectBatchesMatchParts(*bee, "a part hidden");
    EXPECT_EQ(batched, bee->parts.size() - 1);
    bee->parts.back()->entity->setVisible(true);
    EXPECT_EQ(expectBatchesMatchParts(*bee, "shown again"), bee->parts.size());

    // A node moved by hand after the batches were made, then told.
    Ogre::SceneNode* moved = bee->parts.back()->node;
    moved->setPosition(moved->getPosition() + Ogre::Vector3(0.5f, 0, 0));
    bee->batch->nodesMoved();
    expectBatchesMatchParts(*bee, "a node moved");

    // Deleted, the figure leaves nothing attached to its pooled root.
    Ogre::SceneNode* root = bee->root;
    forget(bee);
    delete bee;
    EXPECT_EQ(root->numAttachedObjects(), 0u);
    EXPECT_EQ(root->numChildren(), 0u);
}

TEST_F(FigureBatches, AMeshEditedByALaterFigureRedrawsTheBatchesOfEarlierOnes)
{
    // Every spike edits its shared meshes again as it is built, which moves
    // the vertices every spike of the variant draws.
    plat::srand(3);
    std::vector<Model*> spikes;
    for (int i = 0; i < 8; ++i) {
        spikes.push_back(make(24));
        ASSERT_NE(spikes.back(), nullptr);
        spikes.back()->batch->refresh();
    }
    for (std::size_t i = 0; i < spikes.size(); ++i)
        expectBatchesMatchParts(*spikes[i], "spike " + std::to_string(i));
}

TEST_F(LitFigureBatches, AMeshEditedInTheFrameAPartLeavesALightIsDrawnAsEdited)
{
    // The cube stands at the edge of the light, the pyramid out of its reach.
    Ogre::Light* lamp = light("lamp", Ogre::Vector3(-10, 0, 0), 8);
    Model* figure = twoParts(Ogre::Vector3(3, 0, 0), Ogre::Vector3(-3, 0, 0));
    nextFrame();
    expectBatchesMatchParts(*figure, "as built");
    ASSERT_EQ(figure->batch->batchCount(), 2u);

    // In one frame, and nothing animated: the light's reach shrinks off the
    // cube, and the pyramid's shared mesh is edited.
    lamp->setAttenuation(4, 1, 0, 0);
    figure->selectPart(0);
    figure->editVertexAlways(4, 0, 2, 0);
    nextFrame();
    expectBatchesMatchParts(*figure, "the light shrunk and the mesh edited");
}

TEST_F(LitFigureBatches, ABatchTakesTheLightsItsPartsHaveNotTheirPlaceInTheViewsList)
{
    // The pyramid is lit by the first light of the view's list, the cube by
    // none. Then the first light goes out and the second comes to the
    // pyramid: the pyramid is lit by the first light of the list again,
    // another one.
    struct Case {
        const char* what;
        bool cubeLitAfter;  // the cube's batch is made again too
    };
    for (const Case c : {Case{"only the pyramid's light changes", false}, Case{"the cube is lit too", true}}) {
        SCOPED_TRACE(c.what);
        Ogre::Light* first = light("a", Ogre::Vector3(-10, 0, 0), 8);
        Ogre::Light* second = light("b", Ogre::Vector3(10, 20, 0), 5);
        Model* figure = twoParts(Ogre::Vector3(-3, 0, 0), Ogre::Vector3(8, 0, 0));
        nextFrame();
        ASSERT_EQ(scene->_getLightsAffectingFrustum().size(), 2u);
        expectBatchesMatchParts(*figure, "as built");

        first->setVisible(false);
        second->getParentSceneNode()->setPosition(c.cubeLitAfter ? 2 : -3, 0, 0);
        nextFrame();
        ASSERT_EQ(scene->_getLightsAffectingFrustum().size(), 1u);
        expectBatchesMatchParts(*figure, "the other light");

        figures.pop_back();
        delete figure;
        scene->destroyAllLights();
    }
}

TEST_F(LitFigureBatches, AFlashEndingInAFrameThatMovesNothingShowsThePartsWhereTheyAre)
{
    // A damage flash shows one material on every part; under it the figure
    // is hit or explodes: the pyramid flies out of the light, the first cube
    // rises and stays in it. The flash ends in a frame in which no node is
    // written: while the game is paused (the paused play screen runs no
    // figure update but still ends flashes), or once a hit reaction shorter
    // than the flash is over. The batches of the parts' own materials come
    // back.
    static const AnimationTable animations = {
        // 0: destruction
        {keyframes(1, POSITION, {{0, {0, 0, 0}}, {1500, {60, 0, 0}}}),
         keyframes(2, POSITION, {{0, {0, 0, 0}}, {1500, {0, 6, 0}}})},
        // 1: hit reaction
        {keyframes(1, POSITION, {{0, {0, 0, 0}}, {300, {30, 0, 0}}}),
         keyframes(2, POSITION, {{0, {0, 0, 0}}, {300, {0, 3, 0}}})},
    };
    static const FigureHeader header{FIGURE_TEST1, "flier", 5, 0, &animations};
    struct Case {
        const char* what;
        int animation;
        int pauseFromMs, pauseToMs;  // after the hit
    };
    const Case cases[] = {
        {"exploding when the game pauses", 0, 600, 1100},
        {"a hit reaction over before the flash", 1, -1, -1},
    };
    light("lamp", Ogre::Vector3(0, 0, 0), 10);
    for (const Case& c : cases) {
        Model* figure = buildFigure(header, [](Model& m) {
            m.pushNode();
            m.addNodeToGroup(2);
            m.addPart(SHAPE_CUBE, "RISER", 1);
            m.setPosition(0, 2, 0);
            m.selectNode(0);
            m.addPart(SHAPE_CUBE, "STILL", 2);
            m.setPosition(0, -2, 0);
            m.selectNode(0);
            m.pushNode();
            m.addNodeToGroup(1);
            m.addPart(SHAPE_PYRAMID, "FLIER", 0);
            m.setPosition(3, 0, 0);
        }, 0);
        nextFrame();
        expectBatchesMatchParts(*figure, std::string(c.what) + ": before the hit");
        ASSERT_EQ(figure->batch->batchCount(), 3u);
        const int hitAt = int(clock.clockMs());
        manager->startDamageFlash(figure, hitAt);
        figure->playAnimation(c.animation, false, hitAt);
        // Up to the first frame that differs.
        const int failed = failures();
        for (int ms = 16; ms <= 1500 && failures() == failed; ms += 16) {
            clock.advance(16);
            const bool paused = ms >= c.pauseFromMs && ms < c.pauseToMs;
            if (!paused)
                figure->update(int(clock.clockMs()));
            nextFrame();
            expectBatchesMatchParts(*figure, std::string(c.what) + ": " + std::to_string(ms) + " ms after the hit" +
                                                 (paused ? ", paused" : ""));
            manager->updateDamageFlashes();
        }
        EXPECT_FALSE(figure->flashing) << c.what;
        figures.pop_back();
        delete figure;
    }
}

TEST_F(FigureBatches, ARootShrunkToNothingDrawsNothingAndItsPartsOnceItGrowsAgain)
{
    // A figure of two tetrahedra of one colour (one batch of eight
    // vertices); each row gives the root's scale at successive drawings,
    // and whether the batches are made again then, or a node moves. A row
    // may start with the buffers of a deleted cube (eight vertices too, on
    // other triangles) waiting for the next batch.
    struct Step {
        Ogre::Vector3 scale;
        bool madeAgain;
        bool moves;
    };
    struct Case {
        const char* what;
        bool cubeBuffersLeft;
        std::vector<Step> steps;
    };
    const Ogre::Vector3 none(0, 0, 0), whole(1, 1, 1), wide(2, 1, 1);
    const Case cases[] = {
        {"first drawn at nothing, then grown", false, {{none, false, false}, {whole, false, false}}},
        {"made again at nothing, then grown back", false,
         {{whole, false, false}, {none, true, false}, {whole, false, false}}},
        {"shrunk to nothing, then grown unevenly", false,
         {{whole, false, false}, {none, false, false}, {wide, false, false}}},
        {"first drawn at nothing in a deleted cube's buffers, then grown as it moves", true,
         {{none, false, false}, {whole, false, true}}},
    };
    static const FigureHeader cubeHeader{FIGURE_TEST1, "box", 5, 0, nullptr};
    static const FigureHeader header{FIGURE_TEST2, "twins", 5, 0, nullptr};
    for (const Case& c : cases) {
        if (c.cubeBuffersLeft) {
            Model* cube = buildFigure(cubeHeader, [](Model& m) { m.addPart(SHAPE_CUBE, "CUBE", 0); }, 0);
            expectBatchesMatchParts(*cube, "the cube");
            figures.pop_back();
            delete cube;
        }
        Model* figure = buildFigure(header, [](Model& m) {
            m.addPart(SHAPE_TETRAHEDRON, "TETRA", 0);
            m.selectNode(0);
            m.addPart(SHAPE_TETRAHEDRON, "TETRA", 0);
            m.setPosition(3, 0, 0);
        }, 0);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            figure->root->setScale(step.scale);
            if (step.madeAgain)
                figure->batch->invalidate();
            if (step.moves) {
                figure->parts.back()->node->translate(0, 1, 0);
                figure->batch->nodesMoved();
            }
            const std::size_t parts =
                expectBatchesMatchParts(*figure, std::string(c.what) + ", drawing " + std::to_string(i));
            EXPECT_EQ(parts, figure->parts.size()) << c.what;
        }
        figures.pop_back();
        delete figure;
    }
}

TEST_F(FigureBatches, AMirroredPartShowsTheFacesItsOwnEntityShows)
{
    // The engine turns its culling round for a part whose transform
    // mirrors; in the root's space the part's faces are wound the other way
    // unless the root mirrors too.
    struct Case {
        const char* what;
        Ogre::Vector3 builtScale;  // of the cube's node
        Ogre::Vector3 laterScale;  // set after the first drawing, then told as a move
        Ogre::Vector3 rootScale;
    };
    const Case cases[] = {
        {"mirrored as built", {-1, 1, 1}, {-1, 1, 1}, {1, 1, 1}},
        {"mirrored by a move", {1, 1, 1}, {1, -2, 1}, {1, 1, 1}},
        {"mirrored back by a move", {1, 1, -1}, {1, 1, 1}, {1, 1, 1}},
        {"twice mirrored", {-1, -1, 1}, {-1, -1, 1}, {1, 1, 1}},
        {"on a mirrored root", {1, 1, 1}, {-1, 1, 1}, {-1, 1, 1}},
    };
    for (const Case& c : cases) {
        Model* figure = twoParts(Ogre::Vector3(3, 0, 0), Ogre::Vector3(-3, 0, 0));
        Ogre::SceneNode* cube = figure->parts.back()->node;
        cube->setScale(c.builtScale);
        figure->root->setScale(c.rootScale);
        figure->batch->invalidate();
        expectBatchesMatchParts(*figure, std::string(c.what) + ", first drawing");
        cube->setScale(c.laterScale);
        figure->batch->nodesMoved();
        expectBatchesMatchParts(*figure, std::string(c.what) + ", after the move");
        figures.pop_back();
        delete figure;
    }
}
