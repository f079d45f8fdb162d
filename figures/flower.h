#pragma once
// The flower enemy's figure: a sphere at the centre and four petal arms of
// three cubes each, all cubes on one petal-shaped mesh.
#include "model/Model.h"

extern const AnimationTable FLOWER_ANIMATIONS;

struct FlowerArm;

class flower : public Model {
public:
    flower(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);

private:
    void arm(const FlowerArm& a);
};

Model* makeFlower(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
