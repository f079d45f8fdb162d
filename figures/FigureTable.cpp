#include "figures/FigureTable.h"

#include "figures/crystal.h"

// Figure builders, defined in the figure files of figures/ (each
// `return new bee(sceneManager, root, instanceNumber);`). Declare a builder
// here and put it in its rows when its figure is built.

namespace {

const Ogre::Vector3 ONE(1, 1, 1);

const FigureType TYPES[] = {
    // type code, builder (figure), start animation, root scale
    {2, nullptr /* modasteroid */, NO_ANIMATION, ONE},
    {4, nullptr /* er */, NO_ANIMATION, {3.5f, 3.5f, 1}},
    {5, nullptr /* bee */, 1, ONE},
    {6, nullptr /* blocker */, 1, ONE},
    {7, nullptr /* bumper */, 1, {2, 2, 2}},
    // the bullet's scale comes from its shooter
    {BULLET_TYPE, makeCrystal, NO_ANIMATION, ONE},
    {11, nullptr /* environ3 */, NO_ANIMATION, {4, 4, 3}},
    {12, nullptr /* dragonfly */, 1, ONE},
    {13, nullptr /* flower */, 1, {3, 3, 3}},
    {PLAYER_TYPE, nullptr /* modelKestor */, NO_ANIMATION, {0.75f, 0.75f, 0.75f}},
    {17, nullptr /* mosquito */, 1, ONE},
    {18, nullptr /* bee */, 1, ONE},
    {21, nullptr /* scorpion */, 1, {2, 2, 2}},
    {23, nullptr /* snake */, 1, {2, 2, 2}},
    {24, nullptr /* spike */, 1, ONE},
    {TENTACLE_TYPE, nullptr /* ten1 */, 1, ONE},
    {26, nullptr /* tentMonst */, 1, ONE},
    {27, nullptr /* spike */, 1, ONE},
};

// Each scheme change moves the environment variant on, so the next scenery
// figure differs.
const SceneryChoice SCENERY[] = {
    {nullptr /* environ3 */, NO_ANIMATION}, // 0
    {nullptr /* e2 */, NO_ANIMATION},       // 1
    {nullptr /* e3 */, NO_ANIMATION},       // 2
    {nullptr /* e4 */, NO_ANIMATION},       // 3
    {nullptr /* e5 */, NO_ANIMATION},       // 4
    {nullptr /* e6 */, NO_ANIMATION},       // 5
    {nullptr /* e2 */, NO_ANIMATION},       // 6
    {nullptr /* e3 */, 0},                  // 7
    {nullptr /* e4 */, 0},                  // 8
    {nullptr /* e5 */, 0},                  // 9
    {nullptr /* e5 */, 0},                  // 10
    {nullptr /* e5 */, 0},                  // 11
    {nullptr /* e6 */, 0},                  // 12
    {nullptr /* e6 */, 0},                  // 13
    {nullptr /* e6 */, 2},                  // 14
    {nullptr /* e6 */, 0},                  // 15
    {nullptr /* environ3 */, 0},            // 16
};

const FigureTable GAME_TABLE = {
    TYPES, int(sizeof TYPES / sizeof TYPES[0]), SCENERY, int(sizeof SCENERY / sizeof SCENERY[0]),
    {1, 1, 2.5f},
};

} // namespace

const FigureTable& gameFigureTable() { return GAME_TABLE; }
