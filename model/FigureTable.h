#pragma once
// The figure factory's one table: for every type code the builder of its
// figure, the animation started (looping) at creation and the root scale;
// type code 3 picks its scenery figure by the manager's environment variant.
// A row whose builder is null (a figure not built yet) makes no figure.
// A new figure class adds its file in figures/ and its builder to its rows
// of the game's table (figures/FigureTable.cpp).
#include <OgreVector.h>

class Model;
namespace Ogre {
class SceneManager;
class SceneNode;
} // namespace Ogre

using FigureBuilder = Model* (*)(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root,
                                 int instanceNumber);

constexpr int NO_ANIMATION = -1;
// The type code whose figure the environment variant chooses.
constexpr int SCENERY_TYPE = 3;
// The bullet: styled by its shooter after it is built.
constexpr int BULLET_TYPE = 8;
constexpr int TENTACLE_TYPE = 25;
constexpr int PLAYER_TYPE = 14;

struct FigureType {
    int typeCode;
    FigureBuilder build;
    int startAnimation;
    Ogre::Vector3 scale;
};

struct SceneryChoice {
    FigureBuilder build;
    int startAnimation;
};

struct FigureTable {
    const FigureType* types;
    int typeCount;
    // Builders for type code 3, by environment variant 0 to 16.
    const SceneryChoice* scenery;
    int sceneryCount;
    // The scale of every scenery figure.
    Ogre::Vector3 sceneryScale;
};

// The game's own table is defined with the figures (figures/FigureTable.h);
// the program installs it with ModelManager::useFigureTable at start-up.
