#include "world/mobileObject.h"

#include "world/gameWorld.h"
#include "world/sharedConstants.h"
#include "world/ship.h"

#include <cmath>

namespace {

const TubeRef& tubeOf(const gameWorld* world)
{
    // Objects built before any world exists (the global prototypes) are
    // placed on the standard tube.
    if (world && world->tube)
        return *world->tube;
    return defaultTube();
}

} // namespace

mobileObject::mobileObject()
    : size(BIG_BULLET_SIZE), halfExtentU(BULLET_SIZE), halfExtentV(BULLET_SIZE), useOwnRadius(false),
      radius(UNSET_VALUE), speed(BULLET_SPEED), scoreValue(0), heading(0.0f), side(0), hitPoints(1.0f),
      damageFactor(1.001f), active(true), owner(nullptr), velocityU(0.0f), velocityV(0.0f),
      pendingDamage(0.0f), boundsOrdered(false), minV(TUBE_NEAR_LIMIT), maxV(TUBE_FAR_END)
{
    setDefaults(nullptr);
}

void mobileObject::setDefaults(gameWorld* w)
{
    if (w)
        world = w;
    heading = 0.0f;
    size = BIG_BULLET_SIZE;
    halfExtentU = BULLET_SIZE;
    halfExtentV = BULLET_SIZE;
    minV = TUBE_NEAR_LIMIT;
    maxV = TUBE_FAR_END;
    position.setU(0.0f);
    position.setV(0.0f);
    updateBounds(position);
    speed = BULLET_SPEED;
    type = TYPE_MOBILE;
    side = 0;
    recomputeVelocity();
    scoreValue = 0;
    owner = nullptr;
    hitPoints = 1.0f;
    useOwnRadius = false;
    active = true;
    pendingDamage = 0.0f;
    damageFactor = 1.001f;
    radius = UNSET_VALUE;
}

void mobileObject::destroyed()
{
    if (world)
        world->removeObject(this);
}

void mobileObject::forget(const mobileObject* gone)
{
    if (owner && static_cast<const mobileObject*>(owner) == gone)
        owner = nullptr;
}

void mobileObject::placeOnTube(Placement& out, const PositionSpec& pos, float ownRadius) const
{
    const float theta = tubeAngle(pos);
    if (theta != trigAngle) {
        trigAngle = theta;
        trigCos = std::cos(static_cast<double>(theta));
        trigSin = std::sin(static_cast<double>(theta));
    }
    tubeToWorld(trigCos, trigSin, ownRadius, out, tubeOf(world), pos);
}

void mobileObject::place(Placement& out, const PositionSpec& pos) const
{
    if (!useOwnRadius) {
        placeOnTube(out, pos, UNSET_VALUE);
        return;
    }
    Placement t;
    placeOnTube(t, pos, radius);
    scaleFromSize(pos, t);
    out = t;
}

void mobileObject::updateBounds(const PositionSpec& pos)
{
    const float u = pos.getU();
    const float v = pos.getV();
    float lowU = u - halfExtentU;
    float highU = u + halfExtentU;
    wrapUnit(lowU);
    wrapUnit(highU);
    lowBounds.u = lowU;
    lowBounds.v = v - halfExtentV;
    lowBounds.hasU = lowBounds.hasV = true;
    highBounds.u = highU;
    highBounds.v = v + halfExtentV;
    highBounds.hasU = highBounds.hasV = true;
    boundsOrdered = lowU < highU;
}

void mobileObject::refresh()
{
    place(placement, position);
    updateBounds(position);
}

void mobileObject::setPosition(float u, float v)
{
    position.setU(u);
    position.setV(v);
    refresh();
}

void mobileObject::recomputeVelocity()
{
    // The angle is formed in float, as the constants are; the trigonometry in
    // double, like the C library's.
    const double a = static_cast<double>((90.0f - heading) * DEG_TO_RAD);
    velocityU = static_cast<float>(std::cos(a) * speed);
    velocityV = static_cast<float>(std::sin(a) * speed);
}

void mobileObject::setHeading(float h)
{
    heading = h;
    wrapDegrees(heading);
    position.angle = 90.0f - heading;
    position.hasAngle = true;
    place(placement, position);
    recomputeVelocity();
}

void mobileObject::setSpeed(float s)
{
    speed = s;
    recomputeVelocity();
}

void mobileObject::setSize(float s, float aspect)
{
    size = s;
    position.sizeU = position.sizeV = s;
    position.hasSizeU = position.hasSizeV = true;
    halfExtentU = s * 0.5f;
    halfExtentV = s * aspect * 0.5f;
    scaleFromSize(position, placement);
}

void mobileObject::addDamage(float amount)
{
    pendingDamage += amount;
    raise(EVENT_DAMAGED);
}

bullet::bullet() = default;

bullet::bullet(float h, gameWorld* w, PositionSpec start)
{
    setDefaults(w);
    speed = BULLET_SPEED;
    type = TYPE_BULLET;
    recomputeVelocity();
    size = BULLET_SIZE;
    position.sizeU = position.sizeV = BULLET_SIZE;
    position.hasSizeU = position.hasSizeV = true;
    halfExtentU = BULLET_SIZE * 0.5f;
    halfExtentV = BULLET_SIZE * 0.125f;
    scaleFromSize(position, placement);
    position.apply(start);
    refresh();
    setHeading(h);
}

int shooterTypeOf(const simulationObject* o)
{
    auto shot = dynamic_cast<const bullet*>(o);
    return shot ? shot->shooterType : TYPE_NONE;
}

background_marker::background_marker() { setDefaults(nullptr); }

void background_marker::setDefaults(gameWorld* w)
{
    mobileObject::setDefaults(w);
    size = 1.0f;
    position.sizeU = position.sizeV = 1.0f;
    position.hasSizeU = position.hasSizeV = true;
    type = TYPE_MARKER;
    damageFactor = 0.0f;
    active = false;
    speed = 1.0f;
    recomputeVelocity();
    useOwnRadius = true;
    radius = 0.0f;
    minV = MARKER_NEAR_LIMIT;
    maxV = MARKER_FAR_LIMIT;
}

background_marker::background_marker(gameWorld* w, PositionSpec start)
{
    setDefaults(w);
    size = 1.0f;
    position.sizeU = position.sizeV = 1.0f;
    position.hasSizeU = position.hasSizeV = true;
    halfExtentU = halfExtentV = 0.5f;
    scaleFromSize(position, placement);
    position.apply(start);
    refresh();
    setHeading(180.0f);
}

void collide(mobileObject& a, mobileObject& b)
{
    const float da = a.damageFactor * a.hitPoints;
    const float db = b.damageFactor * b.hitPoints;
    if (da > 0.0f)
        b.addDamage(da);
    if (db > 0.0f)
        a.addDamage(db);
}

void applyPendingDamage(mobileObject& object)
{
    object.hitPoints -= object.pendingDamage;
    object.pendingDamage = 0.0f;
    if (!(object.hitPoints > 0.0f)) {
        object.raise(EVENT_DESTROYED);
        object.destroyed();
    }
}
