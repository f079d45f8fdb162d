// Figures drawn in batches: every figure of the game's table, built by the
// factory on a turned and unevenly scaled root and run through its
// animations, puts every batched vertex where the engine puts the vertex of
// the part's own mesh, with the normal the engine would light it by; and
// the batches follow what changes after they were made (a damage flash, a
// colour fade, an animated node, a shared mesh edited by a later figure, a
// hidden part, a deleted figure).
#include "figures/FigureTable.h"
#include "model/FigureBatch.h"
#include "platform/random.h"
#include "tests/model/script_figure_test.h"

#include <OgreEntity.h>
#include <OgreMatrix3.h>
#include <OgreSubEntity.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The place the engine gives vertex v of a part, and the direction of its
// lit normal: the part's full transform, and its inverse transpose.
struct Expected {
    Ogre::Vector3 position;
    Ogre::Vector3 normal;
};

Expected engineVertex(const Shape& part, const Ogre::Vector3& v)
{
    const Ogre::Matrix4& m = part.node->_getFullTransform();
    Ogre::Matrix3 linear;
    m.extract3x3Matrix(linear);
    Ogre::Vector3 n = v.isZeroLength() ? Ogre::Vector3::ZERO : v.normalisedCopy();
    n = linear.Inverse().Transpose() * n;
    if (!n.isZeroLength())
        n.normalise();
    return {m * v, n};
}

Expected batchVertex(const Ogre::SceneNode& anchor, const Ogre::Vector3& p, const Ogre::Vector3& normal)
{
    const Ogre::Matrix4& m = anchor._getFullTransform();
    Ogre::Matrix3 linear;
    m.extract3x3Matrix(linear);
    Ogre::Vector3 n = linear.Inverse().Transpose() * normal;
    if (!n.isZeroLength())
        n.normalise();
    return {m * p, n};
}

// The vertices a part's shared mesh draws.
const std::vector<Ogre::Vector3>& drawnVertices(const Shape& part)
{
    return part.cache && !part.cache->drawnVertices.empty() ? part.cache->drawnVertices : part.vertices;
}

// Every batched vertex against the engine's, within a share of the figure's
// size; returns the number of parts batched.
std::size_t expectBatchesMatchParts(Model& figure, const std::string& label)
{
    SCOPED_TRACE(label);
    figure.root->_update(true, true);
    FigureBatch* batch = figure.batch;
    EXPECT_NE(batch, nullptr);
    if (!batch)
        return 0;
    batch->refresh();
    std::size_t parts = 0, worst = 0;
    float worstError = 0;
    for (std::size_t b = 0; b < batch->batchCount(); ++b) {
        std::vector<Ogre::Vector3> positions, normals;
        batch->readVertices(b, positions, normals);
        std::size_t at = 0;
        for (const Shape* part : batch->partsOf(b)) {
            ++parts;
            EXPECT_EQ(part->entity->getSubEntity(0)->getMaterial(),
                      batch->partsOf(b).front()->entity->getSubEntity(0)->getMaterial());
            const std::vector<Ogre::Vector3>& drawn = drawnVertices(*part);
            for (const Ogre::Vector3& v : drawn) {
                if (at >= positions.size())
                    break;
                const Expected want = engineVertex(*part, v);
                const Expected got = batchVertex(*batch->anchorOf(b), positions[at], normals[at]);
                const float scale = std::max(1.0f, want.position.length());
                const float error = (want.position - got.position).length() / scale;
                if (error > worstError) {
                    worstError = error;
                    worst = at;
                }
                EXPECT_LT((want.normal - got.normal).length(), 1e-3f)
                    << part->entity->getName() << " vertex " << at << " normal";
                ++at;
            }
        }
        EXPECT_EQ(at, positions.size()) << "batch " << b;
    }
    EXPECT_LT(worstError, 1e-4f) << "at batch vertex " << worst;
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
