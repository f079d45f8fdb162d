#pragma once
// The bullet: one cube pulled out into a long, flat, irregular splinter.
#include "model/Model.h"

class crystal : public Model {
public:
    crystal(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

Model* makeCrystal(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
