#pragma once
// Scenery figure e2: one wing 75 units out along -Z and a spiral of nine
// rings whose arms carry chains of five long, flat tetrahedra. Animation 0
// turns the base pivot and the tetrahedra about Z and swings the wing. er is
// built by the same script with its rings left flat.
#include "model/Model.h"

class e2 : public Model {
public:
    e2(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

// The build script of e2, run after the figure's common start; each ring
// pivot steps `ringRise` units along Z from the one before (0: the rings fan
// out in one plane).
void buildTetraSpiralScenery(Model& m, double ringRise);

const AnimationTable& e2Animations();

Model* makeE2(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
