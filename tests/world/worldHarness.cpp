#include "worldHarness.h"

#include "world/sharedConstants.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace harness {

std::string checkInvariants(const gameWorld& world)
{
    std::ostringstream out;
    if (world.objects.empty() || world.objects.front() != static_cast<mobileObject*>(world.player))
        return "player is not the first live object";
    for (const mobileObject* o : world.removedObjects) {
        if (std::count(world.removedObjects.begin(), world.removedObjects.end(), o) != 1)
            return "object twice in the removed list";
        if (std::find(world.objects.begin(), world.objects.end(), o) != world.objects.end())
            return "object both live and removed";
        if (o == static_cast<const mobileObject*>(world.player))
            return "player removed";
    }
    for (const mobileObject* o : world.objects) {
        const float u = o->position.u, v = o->position.v;
        if (!(u >= 0.0f && u < 1.0f)) {
            out << "u out of range: " << u << " type " << o->type;
            return out.str();
        }
        if (!(o->heading >= 0.0f && o->heading < 360.0f)) {
            out << "heading out of range: " << o->heading << " type " << o->type;
            return out.str();
        }
        // Objects placed after the move step (followers of a head that just
        // left) may stand up to one frame's way of the head outside until
        // the next cull.
        const float slack = 0.01f + 0.75f * world.dt;
        if (!(v >= o->minV - slack && v <= o->maxV + slack)) {
            out << "v out of range: " << v << " type " << o->type;
            return out.str();
        }
        if (o->world != &world)
            return "live object of another world";
    }
    const float pv = world.player->position.v;
    if (!(pv >= TUBE_NEAR_LIMIT && pv <= TUBE_FAR_END * EXIT_STOP_FRACTION))
        return "player off its stretch of the tube";
    return {};
}

float uDistance(float from, float to)
{
    float d = to - from;
    if (d > 0.5f)
        d -= 1.0f;
    if (d < -0.5f)
        d += 1.0f;
    return d;
}

namespace {

// Lower ranks are shot first: tentacles, then an exposed head, then the rest.
int rank(const ship& s)
{
    if (s.type == TYPE_TENTACLE)
        return 0;
    if (s.type == TYPE_TENTHEAD)
        return s.active ? 1 : 9;
    return 2;
}

} // namespace

const ship* chooseTarget(const gameWorld& world)
{
    const kestor& p = *world.player;
    const ship* target = nullptr;
    float targetDistance = 0.0f;
    for (const formation* f : world.formations->formations) {
        for (const formation::Member& m : f->members) {
            const ship* s = m.member;
            if (s->position.v < 0.0f || rank(*s) == 9)
                continue;
            const float d = std::fabs(uDistance(p.position.u, s->position.u));
            if (!target || rank(*s) < rank(*target)
                || (rank(*s) == rank(*target) && d < targetDistance)) {
                target = s;
                targetDistance = d;
            }
        }
    }
    return target;
}

void scriptedPlayer(gameWorld& world, int frameIndex)
{
    kestor& p = *world.player;
    const ship* target = chooseTarget(world);
    // A head covers the whole circumference: no need to aim at it.
    bool aimed = target != nullptr;
    if (target && target->type != TYPE_TENTHEAD) {
        const float d = uDistance(p.position.u, target->position.u);
        if (d > 0.004f)
            p.movePlusU();
        else if (d < -0.004f)
            p.moveMinusU();
        aimed = std::fabs(d) < target->halfExtentU;
    }
    // Shots only when lined up: fewer wasted shots on the tube.
    if (aimed) {
        p.fireRequested = true;
        p.fireKind = (frameIndex % 2 == 0) ? 0 : 1;
    }
}

void PeriodKeys::decide(const gameWorld& w)
{
    steer = 0;
    const ship* target = chooseTarget(w);
    if (!target || target->type == TYPE_TENTHEAD)
        return;
    const float d = uDistance(w.player->position.u, target->position.u);
    const float travel = PLAYER_SIDE_SPEED * KEY_PERIOD_MS * 0.001f;
    float best = std::fabs(d);
    for (int s : {-1, 1}) {
        if (std::fabs(d - s * travel) < best) {
            best = std::fabs(d - s * travel);
            steer = s;
        }
    }
}

void PeriodKeys::press(kestor& p, bool periodStart) const
{
    if (steer > 0)
        p.movePlusU();
    else if (steer < 0)
        p.moveMinusU();
    p.fireRequested = true;
    p.fireKind = periodStart ? 0 : 1;
}

} // namespace harness
