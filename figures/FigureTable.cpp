#include "figures/FigureTable.h"

#include "figures/bee.h"
#include "figures/blocker.h"
#include "figures/bumper.h"
#include "figures/crystal.h"
#include "figures/dragonfly.h"
#include "figures/e2.h"
#include "figures/e3.h"
#include "figures/e4.h"
#include "figures/e5.h"
#include "figures/e6.h"
#include "figures/environ3.h"
#include "figures/er.h"
#include "figures/flower.h"
#include "figures/modasteroid.h"
#include "figures/modelKestor.h"
#include "figures/mosquito.h"
#include "figures/scorpion.h"
#include "figures/snake.h"
#include "figures/spike.h"
#include "figures/ten1.h"
#include "figures/tentMonst.h"

// Each figure's header declares its builder (`makeBee` builds a bee on the
// node given); a figure class is put in the rows of the type codes it shows.

namespace {

const Ogre::Vector3 ONE(1, 1, 1);

const FigureType TYPES[] = {
    // type code, builder (figure), start animation, root scale
    {2, makeModasteroid, NO_ANIMATION, ONE},
    {4, makeEr, NO_ANIMATION, {3.5f, 3.5f, 1}},
    {5, makeBee, 1, ONE},
    {6, makeBlocker, 1, ONE},
    {7, makeBumper, 1, {2, 2, 2}},
    // the bullet's scale comes from its shooter
    {BULLET_TYPE, makeCrystal, NO_ANIMATION, ONE},
    {11, makeEnviron3, NO_ANIMATION, {4, 4, 3}},
    {12, makeDragonfly, 1, ONE},
    {13, makeFlower, 1, {3, 3, 3}},
    {PLAYER_TYPE, makeModelKestor, NO_ANIMATION, {0.75f, 0.75f, 0.75f}},
    {17, makeMosquito, 1, ONE},
    {18, makeBee, 1, ONE},
    {21, makeScorpion, 1, {2, 2, 2}},
    {23, makeSnake, 1, {2, 2, 2}},
    {24, makeSpike, 1, ONE},
    {TENTACLE_TYPE, makeTen1, 1, ONE},
    {26, makeTentMonst, 1, ONE},
    {27, makeSpike, 1, ONE},
};

// Each scheme change moves the environment variant on, so the next scenery
// figure differs.
const SceneryChoice SCENERY[] = {
    {makeEnviron3, NO_ANIMATION},           // 0
    {makeE2, NO_ANIMATION},                 // 1
    {makeE3, NO_ANIMATION},                 // 2
    {makeE4, NO_ANIMATION},                 // 3
    {makeE5, NO_ANIMATION},                 // 4
    {makeE6, NO_ANIMATION},                 // 5
    {makeE2, NO_ANIMATION},                 // 6
    {makeE3, 0},                            // 7
    {makeE4, 0},                            // 8
    {makeE5, 0},                            // 9
    {makeE5, 0},                            // 10
    {makeE5, 0},                            // 11
    {makeE6, 0},                            // 12
    {makeE6, 0},                            // 13
    {makeE6, 2},                            // 14
    {makeE6, 0},                            // 15
    {makeEnviron3, 0},                      // 16
};

const FigureTable GAME_TABLE = {
    TYPES, int(sizeof TYPES / sizeof TYPES[0]), SCENERY, int(sizeof SCENERY / sizeof SCENERY[0]),
    {1, 1, 2.5f},
};

} // namespace

const FigureTable& gameFigureTable() { return GAME_TABLE; }
