#include "figures/crystal.h"

namespace {

// No animations; bullet colours; three mesh variants of the same shape.
const FigureHeader CRYSTAL{FIGURE_CRYSTAL, "crystal", 3, 2, nullptr};

// Offsets of the cube's corners 0 to 6 from where the primitive has them
// (corner 7 stays; corner 6 is written with no offset).
const double CORNER_OFFSETS[7][3] = {
    {-2.1, 0.79, 0.93}, {3.1, 0.9, 1.1}, {0, 0, 0.83}, {0, 0, 0.89},
    {-3.25, 0.61, 0},   {1.25, 1.35, 0}, {0, 0, 0},
};

} // namespace

crystal::crystal(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    beginFigure(CRYSTAL, sceneManager, root, instanceNumber);
    addPart(SHAPE_CUBE, "CUBE0", 0);
    setScale(0.2, 0.2, 0.2);
    // Only a crystal that made its mesh edits it; the others share it.
    for (int v = 0; v < 7; ++v)
        editVertex(v, CORNER_OFFSETS[v][0], CORNER_OFFSETS[v][1], CORNER_OFFSETS[v][2]);
}

Model* makeCrystal(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber)
{
    return new crystal(sceneManager, root, instanceNumber);
}
