#pragma once
// The enemy ship classes. Nine only fix their tuning; the tentacle and the
// tentacle head form the boss and fire and die in their own ways.
#include "world/ship.h"

// Declares an enemy class: a default constructor (the ship defaults only, for
// the wave templates' prototypes) and the tuned one.
#define TESS_ENEMY_SHIP(name)                                                                      \
    class name : public ship {                                                                     \
    public:                                                                                        \
        name() = default;                                                                          \
        name(float heading, gameWorld* world, PositionSpec position);                              \
    }

TESS_ENEMY_SHIP(asteroidShip);
TESS_ENEMY_SHIP(beeShip);
TESS_ENEMY_SHIP(blockerShip);
TESS_ENEMY_SHIP(dragonflyShip);
TESS_ENEMY_SHIP(flowerShip);
TESS_ENEMY_SHIP(mosquitoShip);
TESS_ENEMY_SHIP(scorpionShip);
TESS_ENEMY_SHIP(snakeShip);
TESS_ENEMY_SHIP(spikeShip);

#undef TESS_ENEMY_SHIP

class tentacleShip : public ship {
public:
    tentacleShip() = default;
    tentacleShip(float heading, gameWorld* world, PositionSpec position);
    void destroyed() override;
    bullet* fire(int cooldownMs) override;
};

class tentheadShip : public ship {
public:
    tentheadShip() = default;
    tentheadShip(float heading, gameWorld* world, PositionSpec position);
    void destroyed() override;
    bullet* fire(int cooldownMs) override;
};

// Per-class tuning.
struct EnemyTuning {
    int type;
    int scoreValue;
    float hitPoints;
    float size;
    float halfExtentU;
    float halfExtentV;
    float speed;
};

// Formation member callbacks of the boss waves.
void followOwner(ship& s);
void holdThenRetreat(ship& s);
void holdPosition(ship& s);
