#include "tests/figures/figure_fixture.h"

#include "platform/random.h"

#include <OgreEntity.h>
#include <OgreMesh.h>

#include <cmath>
#include <sstream>

int nodeIndexOf(const Model& model, const Ogre::Node* node)
{
    for (std::size_t i = 0; i < model.nodes.size(); ++i)
        if (model.nodes[i] == node)
            return int(i);
    return -1;
}

int parentIndexOf(const Model& model, int index)
{
    if (index < 0 || index >= int(model.nodes.size()))
        return -1;
    return nodeIndexOf(model, model.nodes[index]->getParent());
}

std::array<int, 5> partKinds(const Model& model)
{
    std::array<int, 5> kinds{};
    for (const Shape* part : model.parts)
        if (part->kind >= 1 && part->kind <= 5)
            ++kinds[part->kind - 1];
    return kinds;
}

std::map<int, int> groupSizes(const Model& model)
{
    std::map<int, int> sizes;
    for (const auto& entry : model.groups)
        ++sizes[entry.first];
    return sizes;
}

std::vector<std::string> meshKeys(const Model& model)
{
    std::vector<std::string> keys;
    for (const Shape* part : model.parts)
        keys.push_back(part->mesh ? part->mesh->getName() : std::string());
    return keys;
}

namespace {
bool finite(const Ogre::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
} // namespace

bool nodesAreSound(const Model& model, std::string* where)
{
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const Ogre::SceneNode* node = model.nodes[i];
        const Ogre::Quaternion& q = node->getOrientation();
        bool qFinite = std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
        bool ok = finite(node->getPosition()) && finite(node->getScale()) && qFinite &&
                  std::fabs(q.Norm() - 1.0f) < 1e-3f;
        if (!ok) {
            if (where) {
                std::ostringstream s;
                s << "node " << i << " position " << node->getPosition() << " scale "
                  << node->getScale() << " orientation " << q;
                *where = s.str();
            }
            return false;
        }
    }
    return true;
}

void FigureTest::SetUp()
{
    OgreTest::SetUp();
    ModelManager::useFigureTable(&gameFigureTable());
    manager = new ModelManager(scene);
}

void FigureTest::TearDown()
{
    for (Model* m : built)
        delete m;
    built.clear();
    delete manager;
    manager = nullptr;
    OgreTest::TearDown();
}

Model* FigureTest::build(FigureBuilder builder)
{
    Model* model = builder(scene, pool->take(), int(built.size()));
    built.push_back(model);
    return model;
}

TEST_P(FigureStructure, MatchesItsNodeTable)
{
    const FigureShape& s = GetParam();
    plat::srand(s.seed);
    Model* m = build(s.build);
    EXPECT_EQ(int(m->nodes.size()), s.nodes);
    EXPECT_EQ(int(m->parts.size()), s.parts);
    EXPECT_EQ(partKinds(*m), s.kinds);
    EXPECT_EQ(groupSizes(*m), s.groups);
    for (const auto& p : s.parents)
        EXPECT_EQ(parentIndexOf(*m, p.first), p.second) << "parent of node " << p.first;
    std::vector<std::string> keys = meshKeys(*m);
    for (const std::string& key : s.meshes)
        EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << "mesh " << key;
    std::string where;
    EXPECT_TRUE(nodesAreSound(*m, &where)) << where;
}
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FigureStructure);
