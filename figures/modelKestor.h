#pragma once
// The player's ship figure (type code 14).
#include "model/Model.h"

class modelKestor : public Model {
public:
    modelKestor(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
};

const AnimationTable& modelKestorAnimations();

Model* makeModelKestor(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
