#pragma once
// The scorpion's figure: four tapered body segments in a chain, a curling
// tail of three to six segments, a stinger with one or two branch stingers
// and two side arms.
#include "model/Model.h"

// Its six animations; 3 to 5 are the mosquito's, on the side arms.
const AnimationTable& scorpionAnimations();

class scorpion : public Model {
public:
    scorpion(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
};

Model* makeScorpion(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instance);
