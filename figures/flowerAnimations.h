#pragma once
// Flings: one-track animations that throw a piece of a figure far off along
// its parent's Y axis while it spins about (1, 0, 1), in two windows (up to
// a turn, then on to the end), each writing position and rotation in its own
// order.
//
// The flower's three flings are its animations 3 to 5; the bumper runs the
// very same tracks as its animations 3 to 5 (on the same groups 13 to 15),
// and the blocker runs them on its pyramids' groups.
#include "model/Animation.h"

struct FlingKeys {
    int turnMs;
    int endMs;
    // at 0, turnMs and endMs
    Value position[3];
    // about (1, 0, 1), at 0, turnMs and endMs
    double angle[3];
    // per window: the position is written before the rotation
    bool positionFirst[2];
};

Animation fling(const FlingKeys& keys, int group);

// The groups the flower and the bumper move with their animations 3 to 5.
constexpr int FLOWER_FLING_GROUP[3] = {13, 14, 15};

// The flower's animation id (3, 4 or 5) on the group given.
Animation flowerFling(int id, int group);
// The same on the flower's own group for it.
Animation flowerFling(int id);
