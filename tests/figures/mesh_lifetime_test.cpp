// The figures' meshes live as long as some model manager does: when the last
// one goes, the engine holds none of them any more, so game after game the
// meshes of names that never come again (each asteroid has its own) do not
// pile up.
#include "figures/FigureTable.h"
#include "tests/figures/node_checks.h"
#include "tests/model/ogre_fixture.h"

#include <vector>

using MeshLifetime = OgreTest;

TEST_F(MeshLifetime, TheLastManagerGivesTheFiguresMeshesBack)
{
    ModelManager::useFigureTable(&gameFigureTable());
    for (int game = 0; game < 3; ++game) {
        auto* manager = new ModelManager(scene);
        // Later games number their figures on, as a long play screen does.
        manager->modelCount = game * 50;
        std::vector<Model*> figures;
        for (int i = 0; i < 20; ++i)
            figures.push_back(manager->createModel(2, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                                   Ogre::Vector3::UNIT_SCALE, nullptr));
        figures.push_back(manager->createModel(14, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                               Ogre::Vector3::UNIT_SCALE, nullptr));
        // A second manager (the end screen's) going first keeps them.
        delete new ModelManager(scene);
        EXPECT_GT(customMeshCount(), 40) << "game " << game;
        for (Model* figure : figures)
            delete figure;
        delete manager;
        // Only the plain "cube.mesh", made once a run, stays.
        EXPECT_EQ(customMeshCount(), 1) << "game " << game;
    }
}
