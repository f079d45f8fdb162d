#pragma once
// Scenery figure e5: e4 with its ring pyramids moved further out along their
// pivots' Y axis; animation 0 pulses them in scale as in e4 and slides them
// along that axis at the same time, while the wings swing.
#include "model/Model.h"

class e5 : public Model {
public:
    e5(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

const AnimationTable& e5Animations();

Model* makeE5(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
