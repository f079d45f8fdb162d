#include "world/formation.h"

#include "world/gameWorld.h"
#include "world/ship.h"

#include <algorithm>

namespace {
const StepScript emptyScript;
}

formation::formation()
    : noteQuery(nullptr), actionQuery(nullptr), overrideSpeed(false), memberSpeed(BULLET_SPEED)
{
    members.reserve(64);
    scripts.reserve(16);
    pendingShips.reserve(64);
    reset();
}

formation::~formation()
{
    deletePending();
    // Members belong to their world; they only lose their link here.
    for (Member& m : members)
        m.member->formation = nullptr;
}

void formation::deletePending()
{
    std::vector<Pending> queued;
    queued.swap(pendingShips);
    for (Pending& p : queued)
        delete p.member;
    pendingShips.reserve(64);
}

void formation::reset()
{
    noteQuery = actionQuery = nullptr;
    for (Member& m : members)
        if (m.member->formation == this)
            m.member->formation = nullptr;
    members.clear();
    scripts.clear();
    deletePending();
    overrideSpeed = false;
    memberSpeed = BULLET_SPEED;
}

void formation::addMember(ship* s, bool alreadyInWorld)
{
    if (!hasWork() && world && world->formations)
        world->formations->add(this);
    Member m{s, 0, 0, true};
    s->formation = this;
    s->moveMode = 0;
    s->fireQuery = noteQuery;
    s->actionQuery = actionQuery;
    if (!scripts.empty())
        m.finished = false;
    if (overrideSpeed)
        s->setSpeed(memberSpeed);
    members.push_back(m);
    if (!alreadyInWorld && world)
        world->addObject(s);
}

void formation::removeMember(ship* s)
{
    auto it = std::find_if(members.begin(), members.end(), [s](const Member& m) { return m.member == s; });
    if (it == members.end())
        return;
    s->formation = nullptr;
    members.erase(it);
    // A formation with ships still queued stays listed, so they join on time.
    if (!hasWork() && world && world->formations)
        world->formations->remove(this);
}

void formation::queueShip(ship* s, int joinMs)
{
    if (!hasWork() && world && world->formations)
        world->formations->add(this);
    pendingShips.push_back({s, joinMs});
}

void formation::addScript(const StepScript* script) { scripts.push_back(script); }

void formation::update()
{
    const int now = world->now;
    // Joins, in queue order.
    size_t kept = 0;
    for (size_t i = 0; i < pendingShips.size(); ++i) {
        Pending p = pendingShips[i];
        if (p.joinMs <= now) {
            // Joining touches the member list only, never the queue.
            addMember(p.member, false);
        } else {
            pendingShips[kept++] = p;
        }
    }
    pendingShips.resize(kept);

    for (size_t i = 0; i < members.size(); ++i) {
        ship* s = members[i].member;
        s->tryFire();
        if (i < members.size() && members[i].member == s)
            stepMember(members[i]);
        if (s->formationCallback && i < members.size() && members[i].member == s)
            s->formationCallback(*s);
        // A member that left during its turn pulls the next one into slot i.
        if (i < members.size() && members[i].member != s)
            --i;
    }
}

void formation::stepMember(Member& m)
{
    ship* s = m.member;
    const int count = scriptCount();
    auto current = [&]() -> const StepScript& {
        if (!m.finished && m.scriptIndex >= 0 && m.scriptIndex < count && scripts[m.scriptIndex])
            return *scripts[m.scriptIndex];
        return emptyScript;
    };
    if (m.stepIndex >= current().count) {
        m.stepIndex = 0;
        m.finished = true;
    }
    if (s->actionNoteDue()) {
        m.stepIndex = 0;
        if (m.scriptIndex < count - 1) {
            m.scriptIndex += 1;
            m.finished = false;
        } else if (count > 0) {
            m.scriptIndex = 0;
            m.finished = false;
        }
    }
    const StepScript& script = current();
    if (s->moveMode == 1 && !s->arrived())
        return;
    if (s->moveMode == 2 && !s->turnStep())
        return;
    const MovementStep* step =
        m.stepIndex >= 0 && m.stepIndex < script.count ? script.steps[m.stepIndex] : nullptr;
    if (step && step->kind == STEP_DRIFT)
        s->startDrift(step->distance);
    else if (step && step->kind == STEP_TURN)
        s->startTurn(step->increasing, step->radius, step->angle);
    m.stepIndex += 1;
}

formationManager::formationManager(gameWorld* w) : defaultNoteQuery(nullptr), defaultActionQuery(nullptr)
{
    world = w;
    formations.reserve(64);
    handOverPass.reserve(64);
}

void formationManager::update()
{
    // Hand-overs can empty a formation and take it off the list; walk a
    // snapshot so that no formation is skipped.
    handOverPass.assign(formations.begin(), formations.end());
    for (formation* f : handOverPass) {
        for (int i = f->memberCount() - 1; i >= 0; --i) {
            if (i < f->memberCount())
                f->members[i].member->checkHandOver();
        }
    }
    for (size_t i = 0; i < formations.size(); ++i) {
        formation* f = formations[i];
        f->update();
        if (i < formations.size() && formations[i] != f)
            --i;
    }
}

void formationManager::add(formation* f)
{
    if (std::find(formations.begin(), formations.end(), f) != formations.end())
        return;
    formations.push_back(f);
    f->world = world;
}

void formationManager::remove(formation* f)
{
    auto it = std::find(formations.begin(), formations.end(), f);
    if (it != formations.end())
        formations.erase(it);
}

void formationManager::clear() { formations.clear(); }

ship* formationManager::findColliding(const mobileObject& object) const
{
    if (!object.active)
        return nullptr;
    // Called for every shot every frame: reject by v on the raw bounds (they
    // always carry v) before the full test.
    const float low = object.lowBounds.getV();
    const float high = object.highBounds.getV();
    const size_t formationCount = formations.size();
    for (size_t i = 0; i < formationCount; ++i) {
        const formation::Member* m = formations[i]->members.data();
        const formation::Member* end = m + formations[i]->members.size();
        for (; m != end; ++m) {
            const ship& s = *m->member;
            if (s.lowBounds.v > high || low > s.highBounds.v)
                continue;
            if (shipsOverlap(object, s))
                return m->member;
        }
    }
    return nullptr;
}
