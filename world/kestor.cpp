#include "world/kestor.h"

#include "world/gameWorld.h"
#include "world/sharedConstants.h"

#include <cmath>

kestor::kestor()
    : repeatFire(false), holdUntilMs(-2), respawning(true), invulnerableUntil(0), powerMode(false),
      volleyMode(false), extraLifeCount(0), extraLifeStep(0), fireRequested(false), fireKind(0),
      flyingOut(false), steerCommand(0), tapPending(false), fireHeld(false), heldKind(1)
{
    setUp(nullptr);
}

kestor::kestor(gameWorld* w) : kestor()
{
    setUp(w);
    if (w)
        w->addObject(this);
}

void kestor::setUp(gameWorld* w)
{
    hitPoints = 1.0f;
    if (w)
        world = w;
    pendingDamage = 0.0f;
    damageFactor = 1.001f;
    type = TYPE_PLAYER;
    side = 1;
    owner = nullptr;
    position.setU(0.5f);
    position.setV(-0.05f);
    setHeading(0.0f);
    size = BIG_BULLET_SIZE;
    position.sizeU = position.sizeV = BIG_BULLET_SIZE;
    position.hasSizeU = position.hasSizeV = true;
    halfExtentU = BULLET_SIZE;
    halfExtentV = PLAYER_HALF_EXTENT_V;
    scaleFromSize(position, placement);
    setSpeed(0.0f);
    driftTarget = position;
    scoreValue = 0;
    repeatFire = false;
    holdUntilMs = -2;
    respawning = true;
    invulnerableUntil = (world ? world->now : -2) + INVULNERABLE_MS;
    powerMode = volleyMode = false;
    extraLifeCount = 0;
    extraLifeStep = 0;
    fireRequested = false;
    flyingOut = false;
    steerCommand = 0;
    tapPending = fireHeld = false;
    heldKind = 1;
    active = false;
    nextFireMs = -2;
    lastBullet = nullptr;
}

void kestor::endRespawnIfDue()
{
    if (respawning && world && invulnerableUntil < world->now) {
        respawning = false;
        // After the fly-out has begun nothing may make the ship hittable again.
        active = !flyingOut;
    }
}

void kestor::update()
{
    if (fireRequested)
        fireByKind();
    if (respawning)
        rise();
    checkExtraLife();
    velocityU = 0.0f;
}

void kestor::fireByKind()
{
    if (!world) {
        fireRequested = false;
        return;
    }
    endRespawnIfDue();
    if (fireKind == 0) {
        tapPending = false;
        // Every tap restarts the hold timer, so holding again always waits
        // the full delay before repeat fire.
        repeatFire = false;
        holdUntilMs = -2;
        bullet* b = ship::fire(125);
        lastBullet = b;
        if (b)
            b->setSize(SMALL_BULLET_SIZE, 1.0f);
    } else if (fireKind == 1 && !repeatFire) {
        if (holdUntilMs == -2)
            holdUntilMs = world->now + HOLD_DELAY_MS;
        else if (holdUntilMs < world->now)
            repeatFire = true;
    } else if (fireKind == 1) {
        bullet* b = ship::fire(250);
        lastBullet = b;
        if (b)
            b->setSize(SMALL_BULLET_SIZE, 1.0f);
    }
    fireRequested = false;
}

void kestor::rise()
{
    if (position.getV() < 0.0f) {
        velocityV = PLAYER_RISE_SPEED;
    } else {
        velocityV = 0.0f;
        position.setV(0.0f);
    }
    endRespawnIfDue();
}

void kestor::checkExtraLife()
{
    if (extraLifeStep <= 0)
        return;
    const int q = scoreValue / extraLifeStep;
    if (extraLifeCount < q) {
        raise(EVENT_EXTRA_LIFE);
        lives += 1;
        extraLifeCount += 1;
    }
}

void kestor::steer(float velocity, int code)
{
    steerCommand = velocity > 0.0f ? 1 : -1;
    raise(code);
    if (!respawning) {
        velocityU = velocity;
        return;
    }
    if (std::fabs(position.getV()) < 0.001f) {
        endRespawnIfDue();
        velocityU = velocity;
    }
}

void kestor::movePlusU() { steer(PLAYER_SIDE_SPEED, EVENT_STEER_PLUS); }

void kestor::moveMinusU() { steer(-PLAYER_SIDE_SPEED, EVENT_STEER_MINUS); }

void kestor::destroyed()
{
    if (flyingOut) {
        // Damage that was already on its way when the fly-out began.
        hitPoints = 1.0f;
        return;
    }
    if (respawning)
        return;
    lives -= 1;
    respawning = true;
    active = false;
    const int now = world ? world->now : -2;
    invulnerableUntil = now + INVULNERABLE_MS;
    hitPoints = 1.0f;
    nextFireMs = now + FIRE_PAUSE_MS;
}

bool kestor::acceptsHitFrom(const mobileObject& other) const
{
    if (flyingOut)
        return false;
    return other.position.getV() >= 0.0f && other.heading >= PLAYER_HIT_MIN_HEADING
        && other.heading <= PLAYER_HIT_MAX_HEADING;
}

void kestor::startFlyOut()
{
    flyingOut = true;
    active = false;
    pendingDamage = 0.0f;
}

void kestor::afterShot()
{
    if (!hasEvent(EVENT_FIRED) || !lastBullet)
        return;
    bullet* shot = lastBullet;
    if (powerMode) {
        raise(EVENT_POWER_SHOT);
        shot->setSize(BIG_BULLET_SIZE, 0.25f);
        shot->damageFactor = BIG_BULLET_DAMAGE;
    }
    if (volleyMode) {
        raise(EVENT_POWER_SHOT);
        for (float turn : {-30.0f, 30.0f}) {
            auto* side = new bullet(heading, world, position);
            world->addObject(side);
            *side = *shot;
            side->setHeading(shot->heading + turn);
        }
    }
}

void kestor::beginInput()
{
    if (fireRequested && fireKind == 0)
        tapPending = true;
    fireHeld = fireRequested;
    heldKind = fireKind == 0 ? 1 : fireKind;
}

void kestor::prepareStep(bool firstOfUpdate)
{
    if (!firstOfUpdate) {
        if (steerCommand > 0)
            movePlusU();
        else if (steerCommand < 0)
            moveMinusU();
    }
    if (tapPending) {
        fireRequested = true;
        fireKind = 0;
    } else {
        fireRequested = fireHeld;
        fireKind = heldKind;
    }
}

void kestor::endInput()
{
    // Keys are read again before the next update; an update that ran no
    // step must not leave this one's steering behind. A tap no step took
    // stays pending.
    steerCommand = 0;
    velocityU = 0.0f;
    fireRequested = false;
    fireHeld = false;
}
