#pragma once
// The mosquito's figure: a tilted pyramid body with a long second pyramid,
// a lift pivot at a random height carrying two blades, and one to three
// two-cube segments chained onto the end of each blade.
#include "model/Model.h"

// Its six animations. The scorpion plays 3 to 5 (each throws the nodes of
// one group away, spinning: groups 10, 11 and 12) on its own groups.
extern const AnimationTable MOSQUITO_ANIMATIONS;

class mosquito : public Model {
public:
    mosquito(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
};

Model* makeMosquito(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
