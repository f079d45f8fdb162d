#pragma once
// Figures that exist only for the tests: a figure built from a script given
// by the test, and two small recipes for the factory (a one-cube splinter in
// the bullet colours and a two-part walker with four animations).
#include "figures/FigureTable.h"
#include "model/Model.h"

#include <functional>
#include <vector>

class ScriptFigure : public Model {
public:
    ScriptFigure(const FigureHeader& header, Ogre::SceneManager* sceneManager,
                 Ogre::SceneNode* root, int instance, const std::function<void(Model&)>& script)
    {
        beginFigure(header, sceneManager, root, instance);
        script(*this);
    }
};

// Animation table of the walker: 0 destruction (1000 ms), 1 idle loop
// (1500 ms), 2 pulse (250 ms), 3 another pulse.
extern const AnimationTable WALKER_ANIMATIONS;

Model* makeSplinter(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
Model* makeWalker(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);

// The game's table with every builder set: type code 8 makes a splinter,
// every other row and scenery variant a walker.
class FilledFigureTable {
public:
    FilledFigureTable();
    const FigureTable* get() const { return &table; }

private:
    std::vector<FigureType> types;
    std::vector<SceneryChoice> scenery;
    FigureTable table;
};
