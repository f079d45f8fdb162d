// The scenery figures share their meshes by variant: the first figures of a
// class under one manager build one set of meshes each, up to the variant
// limit; every later one draws a variant for each part step (below the
// limit) and finds every mesh in the cache, building and editing nothing.
#include "figures/e2.h"
#include "figures/e3.h"
#include "figures/e4.h"
#include "figures/e5.h"
#include "figures/e6.h"
#include "figures/er.h"
#include "tests/figures/figure_fixture.h"
#include "tests/figures/node_checks.h"

#include "platform/random.h"

#include <set>

namespace {

struct Scenery {
    const char* prefix; // what the mesh keys begin with
    FigureBuilder build;
    int variantLimit;
    std::set<std::string> partKeys;
};

const Scenery SCENERY[] = {
    {"e2", makeE2, 10, {"CUBE1", "PYRAMID5", "TETRAHEDRON0"}},
    {"er", makeEr, 5, {"CUBE1", "PYRAMID5", "TETRAHEDRON0"}},
    {"e3", makeE3, 5, {"CUBE1", "PYRAMID5", "PYRAMID0"}},
    {"e4", makeE4, 5, {"CUBE1", "PYRAMID5", "PYRAMID0"}},
    {"e5", makeE5, 5, {"CUBE1", "PYRAMID5", "PYRAMID0"}},
    {"e6", makeE6, 5, {"CUBE1", "PYRAMID5", "TETRAHEDRON0"}},
};

using SceneryVariants = FigureTest;

TEST_F(SceneryVariants, FirstFiguresBuildOneMeshSetEachAndLaterOnesReuseThem)
{
    for (const Scenery& s : SCENERY) {
        SCOPED_TRACE(s.prefix);
        TearDown();
        SetUp();
        const int base = customMeshCount();
        std::vector<std::string> suffixes; // each part's key, in part order
        for (int v = 1; v <= s.variantLimit; ++v) {
            Model* m = build(s.build);
            std::set<std::string> keys;
            for (const std::string& k : meshKeys(*m))
                keys.insert(k);
            std::set<std::string> expected;
            for (const std::string& k : s.partKeys)
                expected.insert(s.prefix + std::to_string(v) + k);
            EXPECT_EQ(keys, expected) << "figure " << v;
            if (v == 1)
                for (const std::string& k : meshKeys(*m))
                    suffixes.push_back(k.substr(std::string(s.prefix).size() + 1));
        }
        const int meshes = 3 * s.variantLimit;
        EXPECT_EQ(int(shapeCacheMap.size()), meshes);
        EXPECT_EQ(customMeshCount(), base + meshes);

        for (unsigned seed : {5u, 77u}) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            // One variant drawn per part step, in part order, from 1 to
            // limit - 1, and no other draw.
            plat::srand(seed);
            std::vector<std::string> expected;
            for (const std::string& suffix : suffixes) {
                int v = int(1 + (plat::rand() % 10000) * 0.0001 * (s.variantLimit - 1));
                expected.push_back(s.prefix + std::to_string(v) + suffix);
            }
            int after = plat::rand();
            plat::srand(seed);
            Model* later = build(s.build);
            EXPECT_EQ(meshKeys(*later), expected);
            EXPECT_EQ(plat::rand(), after);
            for (const Shape* part : later->parts)
                EXPECT_FALSE(part->builtMesh);
        }
        EXPECT_EQ(int(shapeCacheMap.size()), meshes);
        EXPECT_EQ(customMeshCount(), base + meshes);
    }
}

} // namespace
