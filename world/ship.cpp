#include "world/ship.h"

#include "song/timeEventSection.h"
#include "song/windowQuery.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/sharedConstants.h"

#include <cmath>

ship::ship()
    : handOverMs(-2), nextFormation(nullptr), fireMod(0), fireRem(0), fireOffsetMs(0), actionMod(0),
      actionRem(0), actionOffsetMs(0), noteShiftMs(0), fireCooldownMs(125), formationCallback(nullptr),
      moveMode(0), turnTarget(0.0f), turnIncreasing(false), turnRadius(0.0f), formation(nullptr), lives(0),
      nextFireMs(-2), shotsFired(0), lastBullet(nullptr), fireQuery(nullptr), actionQuery(nullptr),
      driftRemaining(0.0f)
{
    setDefaults(nullptr);
}

ship::ship(const ship& other) = default;

ship& ship::operator=(const ship& other) = default;

ship::~ship()
{
    if (formation)
        formation->removeMember(this);
}

void ship::setDefaults(gameWorld* w)
{
    mobileObject::setDefaults(w);
    radius = UNSET_VALUE;
    driftTarget = position;
    type = TYPE_SHIP;
    formation = nullptr;
    nextFireMs = -2;
    shotsFired = 0;
    lastBullet = nullptr;
    fireMod = fireRem = fireOffsetMs = 0;
    actionMod = actionRem = actionOffsetMs = 0;
    noteShiftMs = 0;
    useOwnRadius = false;
    fireCooldownMs = 125;
    formationCallback = nullptr;
    nextFormation = nullptr;
    fireQuery = actionQuery = nullptr;
    handOverMs = -2;
}

void ship::destroyed()
{
    if (formation)
        formation->removeMember(this);
    if (world)
        world->removeObject(this);
}

void ship::leftWorld()
{
    // A ship that is culled or destroyed must not be stepped, fired or hit
    // again while it waits one frame for deletion.
    if (formation)
        formation->removeMember(this);
    nextFormation = nullptr;
    handOverMs = -2;
}

void ship::forget(const mobileObject* gone)
{
    mobileObject::forget(gone);
    if (lastBullet && static_cast<const mobileObject*>(lastBullet) == gone)
        lastBullet = nullptr;
}

bullet* ship::fireBullet(int cooldownMs)
{
    if (!world || nextFireMs > world->now)
        return nullptr;
    nextFireMs = world->now + cooldownMs;
    ++shotsFired;
    auto* b = new bullet(heading, world, position);
    b->side = side;
    b->owner = this;
    b->shooterType = type;
    world->addObject(b);
    return b;
}

bullet* ship::fire(int cooldownMs)
{
    bullet* b = fireBullet(cooldownMs);
    if (!b)
        return nullptr;
    raise(EVENT_FIRED);
    lastBullet = b;
    return b;
}

bool ship::inFiringZone() const
{
    const float v = position.getV();
    return v >= 0.0f && v <= FIRE_ZONE_MAX_V && heading >= FIRE_ZONE_MIN_HEADING
        && heading <= FIRE_ZONE_MAX_HEADING;
}

void ship::tryFire()
{
    if (inFiringZone() && fireNoteDue())
        fire(fireCooldownMs);
}

bool ship::noteDue(const OccurrenceIndex* query, int mod, int rem, int offsetMs) const
{
    if (!query || !world || !world->section)
        return false;
    const WindowQuery q = WindowQuery().every(mod, rem).offset(noteShiftMs + offsetMs).occurrences(0, 999999);
    return findOccurrenceInWindow(*world->section, *query, q) != query->end();
}

bool ship::fireNoteDue() { return noteDue(fireQuery, fireMod, fireRem, fireOffsetMs); }

bool ship::actionNoteDue() { return noteDue(actionQuery, actionMod, actionRem, actionOffsetMs); }

void ship::startTurn(bool increasing, float r, float angle)
{
    turnRadius = r;
    moveMode = 2;
    turnIncreasing = increasing;
    float target = increasing ? heading + angle : heading - angle;
    if (std::isfinite(target)) {
        while (target >= 360.0f)
            target -= 360.0f;
        while (target < 0.0f)
            target += 360.0f;
    }
    turnTarget = target;
}

namespace {

// How far `to` lies past `from` going the given way round, in [0, 360).
float arcTo(float from, float to, bool increasing)
{
    float d = increasing ? to - from : from - to;
    while (d < 0.0f)
        d += 360.0f;
    while (d >= 360.0f)
        d -= 360.0f;
    return d;
}

} // namespace

bool ship::turnStep()
{
    if (std::fabs(turnTarget - heading) < 0.001f)
        return true;
    if (!(turnRadius > 0.0f))
        return false;
    const float dt = world ? world->dt : 0.0f;
    const float step = dt * speed / turnRadius * RAD_TO_DEG;
    const float old = heading;
    raise(turnIncreasing ? EVENT_STEER_PLUS : EVENT_STEER_MINUS);
    const float d = arcTo(old, turnTarget, turnIncreasing);
    if (d > 0.0f && d <= step)
        setHeading(turnTarget);
    else
        setHeading(turnIncreasing ? old + step : old - step);
    return false;
}

void ship::startDrift(float distance)
{
    // A drift flies straight on along the heading for the step's distance;
    // the target is where that ends, for anyone who wants to look.
    moveMode = 1;
    const double a = static_cast<double>((90.0f - heading) * DEG_TO_RAD);
    driftTarget = position;
    driftTarget.u = position.u + static_cast<float>(std::cos(a) * distance);
    driftTarget.v = position.v + static_cast<float>(std::sin(a) * distance);
    wrapUnit(driftTarget.u);
    driftRemaining = distance;
    driftFrom = position;
}

bool ship::arrived()
{
    // Measure the way flown since the last look, across the seam by the short
    // side, so a frame that overshoots the end still ends the drift.
    float du = position.u - driftFrom.u;
    if (du >= 0.5f)
        du -= 1.0f;
    else if (du < -0.5f)
        du += 1.0f;
    const float dv = position.v - driftFrom.v;
    const float moved = std::sqrt(du * du + dv * dv);
    if (std::isfinite(moved))
        driftRemaining -= moved;
    driftFrom = position;
    return driftRemaining < 0.001f;
}

void ship::checkHandOver()
{
    // -2 is "no hand-over", even in a window that reaches back before 0.
    if (handOverMs == -2 || !world || !world->section)
        return;
    const timeEventSection& s = *world->section;
    if (!(handOverMs > s.previousFrameMs && handOverMs <= s.currentFrameMs))
        return;
    handOverMs = -2;
    if (nextFormation == formation) {
        nextFormation = nullptr;
        return;
    }
    if (formation)
        formation->removeMember(this);
    if (nextFormation)
        nextFormation->addMember(this, true);
    else
        formation = nullptr;
    nextFormation = nullptr;
}
