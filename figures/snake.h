#pragma once
// The snake: one long chain of pivots, tetrahedron rings and cube stars
// hanging from a tetrahedron head, with one to four random tail sections.
#include "model/Model.h"

// Animation groups of the snake.
enum SnakeGroup {
    SNAKE_TAIL_SECTIONS = 1,
    SNAKE_TAIL_STAR_HINGES = 5,
    SNAKE_TAIL_RING_HINGES = 6,
    SNAKE_STAR2_HINGES = 7,
    SNAKE_JOINTS = 10,
};

extern const AnimationTable SNAKE_ANIMATIONS;

class snake : public Model {
public:
    snake(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);

private:
    // A joint pivot, then a hinge pivot turned a sixth of the way round the
    // ring (in hingeGroup unless 0), then a segment: a tetrahedron pushed out
    // to the ring's edge, or a cube at the star's centre.
    void ringSegment(int hingeGroup);
    void starSegment(int hingeGroup);
    // A joint pivot and the pivot below it where a star's cubes meet.
    void starCentre();
};

Model* makeSnake(Ogre::SceneManager* sceneManager, Ogre::SceneNode* root, int instanceNumber);
