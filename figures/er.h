#pragma once
// Scenery figure er: e2's wing and nine rings of tetrahedron chains, the
// rings fanned out in one plane instead of winding up a spiral, with three
// animations of its own: a turn, a pulse of the tetrahedra and a swing of
// the wing.
#include "model/Model.h"

class er : public Model {
public:
    er(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
};

const AnimationTable& erAnimations();

Model* makeEr(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
