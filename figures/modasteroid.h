#pragma once
// The asteroid's figure: a core cube and three outer cubes whose proportions,
// turns, places and core corners are drawn at random for every asteroid, on
// meshes of its own.
#include "model/Model.h"

extern const AnimationTable ASTEROID_ANIMATIONS;

class modasteroid : public Model {
public:
    modasteroid(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);

private:
    // A draw per component, z first, then y, then x.
    struct Ranges {
        double x0, x1, y0, y1, z0, z1;
    };
    void drawScale(const Ranges& r);
    void drawPosition(const Ranges& r);
    // The axis components z, y, x, then the angle.
    void drawTurn(double angle0, double angle1, const Ranges& axis);
};

Model* makeModasteroid(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
