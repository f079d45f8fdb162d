#pragma once
// Shared checks for the game's figures on a headless engine.
//
// Every figure class describes its expected build in rows of FigureShape
// (one row per random branch worth pinning, each with its own seed) and
// instantiates the one structure suite with them in its own test file:
//
//   const FigureShape BEE_SHAPES[] = {{"bee", makeBee, 1, 14, 9, {0, 3, 0, 6, 0}, ...}};
//   INSTANTIATE_TEST_SUITE_P(Bee, FigureStructure, ::testing::ValuesIn(BEE_SHAPES),
//                            figureShapeName);
//
// The sweep over every animation and the factory checks run over the game's
// table by themselves (figure_sweep_test.cpp), so a new figure needs no new
// code there.
#include "figures/FigureTable.h"
#include "model/Model.h"
#include "tests/model/ogre_fixture.h"

#include <OgreSceneNode.h>

#include <array>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Index of a node in the figure's node list, or -1.
int nodeIndexOf(const Model& model, const Ogre::Node* node);
// Index of the parent of node `index` in the figure's node list (-1 for the
// root or a parent outside the figure).
int parentIndexOf(const Model& model, int index);
// Parts per primitive kind: [0] cubes, [1] pyramids, [2] tetrahedra,
// [3] spheres, [4] cylinders.
std::array<int, 5> partKinds(const Model& model);
// Group id -> number of member nodes.
std::map<int, int> groupSizes(const Model& model);
// The mesh names of the figure's parts, in part order.
std::vector<std::string> meshKeys(const Model& model);
// True when every node's position, scale and orientation are finite and
// every orientation is of unit length; `where` tells the first bad node.
bool nodesAreSound(const Model& model, std::string* where);

struct FigureShape {
    const char* label;
    FigureBuilder build;
    // plat::srand(seed) just before the build
    unsigned seed;
    int nodes;
    int parts;
    std::array<int, 5> kinds;
    std::map<int, int> groups;
    // (node index, its parent's node index) at the selects worth pinning
    std::vector<std::pair<int, int>> parents;
    // mesh names that must appear among the parts (the variant is 1: the
    // first build of its class under a fresh manager)
    std::vector<std::string> meshes;
};

inline std::ostream& operator<<(std::ostream& out, const FigureShape& s) { return out << s.label; }

inline std::string figureShapeName(const ::testing::TestParamInfo<FigureShape>& info)
{
    return info.param.label;
}

// A headless engine with a model manager on the game's own figure table.
class FigureTest : public OgreTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Builds one figure of a class directly, as the factory would on a
    // fresh node of the pool.
    Model* build(FigureBuilder builder);

    ModelManager* manager = nullptr;
    std::vector<Model*> built;
};

class FigureStructure : public FigureTest, public ::testing::WithParamInterface<FigureShape> {};
