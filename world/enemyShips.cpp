#include "world/enemyShips.h"

#include "song/songScore.h"
#include "song/windowQuery.h"
#include "world/gameWorld.h"
#include "world/levelDirector.h"
#include "world/sharedConstants.h"

#include <cmath>

namespace {

constexpr EnemyTuning ASTEROID{TYPE_ASTEROID, 50, 5, 0.0975f, 0.04875f, 0.04875f, 0.1825f};
constexpr EnemyTuning BEE{TYPE_BEE, 500, 2, 0.065f, 0.0325f, 0.0325f, 0.27375f};
constexpr EnemyTuning BLOCKER{TYPE_BLOCKER, 500, 8, 0.0455f, 0.02275f, 0.02275f, 0.09125f};
constexpr EnemyTuning DRAGONFLY{TYPE_DRAGONFLY, 2000, 20, 0.0325f, 0.01625f, 0.01625f, 0.1825f};
constexpr EnemyTuning FLOWER{TYPE_FLOWER, 800, 12, 0.04875f, 0.024375f, 0.024375f, 0.09125f};
constexpr EnemyTuning MOSQUITO{TYPE_MOSQUITO, 100, 2, 0.0325f, 0.01625f, 0.01625f, 0.1825f};
constexpr EnemyTuning SCORPION{TYPE_SCORPION, 500, 12, 0.0975f, 0.04875f, 0.04875f, 0.27375f};
constexpr EnemyTuning SNAKE{TYPE_SNAKE, 250, 1, 0.0325f, 0.01625f, 0.01625f, 0.228125f};
constexpr EnemyTuning SPIKE{TYPE_SPIKE, 500, 2, 0.024375f, 0.0121875f, 0.0121875f, 0.5f};
constexpr EnemyTuning TENTACLE{TYPE_TENTACLE, 1000, 15, 0.0975f, 0.04875f, 0.04875f, 0.0f};
constexpr EnemyTuning TENTHEAD{TYPE_TENTHEAD, 8, TENTHEAD_SHIELD_HIT_POINTS, 0.325f, TENTHEAD_HALF_EXTENT_U,
                               0.1625f, 0.73f};

void tune(ship& s, const EnemyTuning& t, float heading, gameWorld* world, const PositionSpec& pos)
{
    s.ship::setDefaults(world);
    s.type = t.type;
    s.scoreValue = t.scoreValue;
    s.hitPoints = t.hitPoints;
    s.position.apply(pos);
    s.refresh();
    s.size = t.size;
    s.position.sizeU = s.position.sizeV = t.size;
    s.position.hasSizeU = s.position.hasSizeV = true;
    s.halfExtentU = t.halfExtentU;
    s.halfExtentV = t.halfExtentV;
    scaleFromSize(s.position, s.placement);
    s.setHeading(heading);
    s.setSpeed(t.speed);
}

// Every second shot of a boss ship varies: a tentacle's is a power shot, a
// head's volley is turned an eighth of the way round the tube.
bool secondShot(const ship& s) { return s.shotsFired % 2 == 0; }

// The big bullet of the boss ships: four times a bullet's size.
void enlarge(bullet& b)
{
    b.size = 4.0f * BULLET_SIZE;
    b.position.sizeU = b.position.sizeV = b.size;
    b.position.hasSizeU = b.position.hasSizeV = true;
    b.halfExtentU = b.size * 0.5f;
    b.halfExtentV = b.size * 0.125f;
    scaleFromSize(b.position, b.placement);
    b.setSpeed(BULLET_SPEED);
}

float readV(const mobileObject& o) { return o.position.getV(); }

} // namespace

#define TESS_ENEMY_CONSTRUCTOR(name, tuning)                                                       \
    name::name(float heading, gameWorld* world, PositionSpec position)                             \
    {                                                                                              \
        tune(*this, tuning, heading, world, position);                                             \
    }

TESS_ENEMY_CONSTRUCTOR(asteroidShip, ASTEROID)
TESS_ENEMY_CONSTRUCTOR(beeShip, BEE)
TESS_ENEMY_CONSTRUCTOR(blockerShip, BLOCKER)
TESS_ENEMY_CONSTRUCTOR(dragonflyShip, DRAGONFLY)
TESS_ENEMY_CONSTRUCTOR(flowerShip, FLOWER)
TESS_ENEMY_CONSTRUCTOR(mosquitoShip, MOSQUITO)
TESS_ENEMY_CONSTRUCTOR(scorpionShip, SCORPION)
TESS_ENEMY_CONSTRUCTOR(snakeShip, SNAKE)
TESS_ENEMY_CONSTRUCTOR(spikeShip, SPIKE)
TESS_ENEMY_CONSTRUCTOR(tentacleShip, TENTACLE)

#undef TESS_ENEMY_CONSTRUCTOR

tentheadShip::tentheadShip(float heading, gameWorld* world, PositionSpec position)
{
    tune(*this, TENTHEAD, heading, world, position);
    useOwnRadius = true;
    radius = 0.0f;
    active = false;
    halfExtentU = TENTHEAD_HALF_EXTENT_U;
}

bullet* tentacleShip::fire(int cooldownMs)
{
    bullet* b = fireBullet(cooldownMs);
    if (!b)
        return nullptr;
    raise(EVENT_FIRED);
    if (secondShot(*this))
        raise(EVENT_POWER_SHOT);
    lastBullet = b;
    enlarge(*b);
    return b;
}

bullet* tentheadShip::fire(int cooldownMs)
{
    bullet* first = fireBullet(cooldownMs);
    if (!first)
        return nullptr;
    raise(EVENT_FIRED);
    lastBullet = first;
    enlarge(*first);
    if (secondShot(*this)) {
        first->position.setU(first->position.u + 0.125f);
        first->refresh();
    }
    for (int i = 1; i <= 3; ++i) {
        auto* b = new bullet(heading, world, position);
        *b = *first;
        b->position.setU(first->position.u + 0.25f * i);
        b->position.hasV = true;
        b->refresh();
        world->addObject(b);
    }
    return first;
}

void tentacleShip::destroyed()
{
    if (owner && owner->type == TYPE_TENTHEAD) {
        owner->scoreValue -= 1;
        if (owner->scoreValue == 2) {
            owner->nextFireMs = world->now;
        } else if (owner->scoreValue <= 0) {
            owner->hitPoints = TENTHEAD_EXPOSED_HIT_POINTS;
            owner->scoreValue = TENTHEAD_KILL_VALUE;
            owner->active = true;
        }
    }
    if (world)
        world->removeObject(this);
}

void tentheadShip::destroyed()
{
    tentheadKills += 1;
    if (world)
        world->removeObject(this);
}

void followOwner(ship& s)
{
    if (!s.owner)
        return;
    s.position.setU(s.position.u);
    s.position.setV(readV(*s.owner));
    s.refresh();
}

void holdThenRetreat(ship& s)
{
    const float holdV = tentheadWaveA.holdV;
    const double a = static_cast<double>((90.0f - s.heading) * DEG_TO_RAD);
    const int offset = static_cast<int>((holdV - TUBE_FAR_END) * std::sin(a) * -1369.863);
    gameWorld* w = s.world;
    if (w && w->songScore && w->section
        && occurredInWindow(w->songScore->track9Phrase(), *w->section,
                            WindowQuery().every(1, 0).offset(offset).lead(0).occurrences(0, 999999))) {
        s.setSpeed(-0.73f);
        return;
    }
    // A retreating head (negative speed) never stops again, even in a frame
    // that did not move it off the hold line.
    if (s.speed >= 0.0f && readV(s) <= holdV) {
        s.setSpeed(0.0f);
        s.setPosition(s.position.u, holdV);
    }
}

void holdPosition(ship& s)
{
    const float holdV = tentheadWaveB.holdV;
    if (readV(s) <= holdV) {
        s.setSpeed(0.0f);
        s.position.setU(s.position.u);
        s.position.setV(holdV);
        s.refresh();
    }
}
