#include "world/gameWorld.h"

#include "platform/clock.h"
#include "song/songScore.h"
#include "song/timeEventSection.h"
#include "world/formation.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/mobileObject.h"
#include "world/sharedConstants.h"

#include <algorithm>

gameWorld::gameWorld()
{
    objects.reserve(256);
    removedObjects.reserve(64);
    deleting.reserve(64);
    tubeGeometry = new TubeGeometry(defaultTubeGeometry());
    tube = new TubeRef{tubeGeometry, TUBE_RADIUS};
    dt = 0.0f;
    markersEnabled = true;
    player = new kestor(this);
    formations = new formationManager(this);
    phase = PHASE_CONSTRUCTING;
    songScore = new ::songScore();
    section = songScore->buildSong();
    playerModesEnabled = true;
    start();
}

gameWorld::gameWorld(bare_t) {}

gameWorld::~gameWorld()
{
    deleteObjects(objects);
    deleteObjects(removedObjects);
    player = nullptr;
    if (formations) {
        // What is still listed has ships waiting to join; they never entered
        // the world, so nobody else deletes them.
        std::vector<formation*> waiting = formations->formations;
        for (formation* f : waiting)
            f->reset();
        formations->clear();
    }
    delete formations;
    delete tube;
    delete tubeGeometry;
    delete songScore;
}

void deleteObjects(std::vector<mobileObject*>& list)
{
    std::vector<mobileObject*> doomed;
    doomed.swap(list);
    for (mobileObject* o : doomed)
        delete o;
}

void gameWorld::start()
{
    now = -2;
    clockOffset = -2 - static_cast<int>(plat::clock());
    anchored = false;
    drawFraction = 0.0f;
    dt = 0.0f;
    if (section)
        section->start(now);
    phase = PHASE_SETTING_UP;
    setupLevelContent(this);
    if (player) {
        player->active = false;
        player->respawning = true;
        player->invulnerableUntil = now + INVULNERABLE_MS;
        player->position.setU(0.5f);
        player->position.setV(-0.05f);
        player->refresh();
        player->placedAnew = true;
        player->lives = START_LIVES;
        player->scoreValue = 0;
    }
    phase = PHASE_READY;
}

void gameWorld::update(int musicPositionMs)
{
    if (phase == PHASE_PAUSED)
        return;
    // One reading for the whole frame: the steps go by its milliseconds, the
    // drawing by its microseconds.
    const long long clockUs = plat::clockUs();
    const int clockMs = static_cast<int>(plat::wholeMs(clockUs));
    if (musicPositionMs != -2 && clockMs + clockOffset - now < STEP_MS && removedObjects.empty()
        && !frameEventsToEmpty) {
        // A render frame shorter than a step, with nothing left to show:
        // the common case at high frame rates, kept cheap.
        if (player)
            player->idleFrame();
        if (section)
            section->previousFrameMs = section->currentFrameMs;
        measureDrawFraction(clockUs, false);
        return;
    }
    beginFrame();
    const int firstPrevious = section ? section->currentFrameMs : 0;
    if (musicPositionMs == -2) {
        now = -2;
        clockOffset = -2 - clockMs;
        dt = 0.0f;
        if (player)
            player->prepareStep(true);
        runStep();
        endFrame(1, firstPrevious);
        measureDrawFraction(clockUs, true);
        return;
    }
    const int target = clockMs + clockOffset;
    // Song time behind now (music that stood a little behind at a resume)
    // runs no step until it has passed the next one. Past the cap the rest
    // of a stall waits for the next frames: every step runs, each with its
    // own window of the score, however long the stall.
    int due = target - now >= STEP_MS ? (target - now) / STEP_MS : 0;
    if (due > MAX_CATCH_UP_STEPS)
        due = MAX_CATCH_UP_STEPS;
    int steps = 0;
    while (steps < due) {
        if (player)
            player->prepareStep(steps == 0);
        // The same float as a 16-ms frame always gave.
        dt = static_cast<float>(STEP_MS) * 0.001f;
        now += STEP_MS;
        const int before = phase;
        runStep();
        ++steps;
        // The game ended in this step: the screen leaves play with song time
        // where it ended, whatever the length of the render frame.
        if (phase != before && (phase == PHASE_WON || phase == PHASE_LOST))
            break;
    }
    endFrame(steps, firstPrevious);
    measureDrawFraction(clockUs, steps > 0);
}

void gameWorld::anchor(int songMs)
{
    // The steps are the game's own grid: only the first anchor places it.
    // Later ones tie song time to the music again and leave the steps and
    // the score's window where they are, so a game resumed with the music
    // a little off runs the same steps, with the same windows, as a game
    // never paused.
    if (!anchored)
        now = songMs;
    anchored = true;
    clockOffset = songMs - static_cast<int>(plat::clock());
}

void gameWorld::measureDrawFraction(long long clockUs, bool stepped)
{
    const long long past = clockUs + clockOffset * 1000LL - now * 1000LL;
    const float f = static_cast<float>(past) / static_cast<float>(STEP_MS * 1000);
    const float share = std::min(std::max(f, 0.0f), 1.0f);
    drawFraction = stepped ? share : std::max(share, drawFraction);
}

void gameWorld::runStep()
{
    ++stepsRun;
    retireRemoved();
    const size_t removedBefore = removedObjects.size();
    if (section) {
        section->previousFrameMs = section->currentFrameMs;
        section->currentFrameMs = now;
        if (section->loop && section->getDuration() < now)
            section->start(now);
    }
    rememberPlacements();
    if (phase == PHASE_READY)
        phase = PHASE_PLAYING;
    else if (phase == PHASE_PLAYING)
        stepPlaying();
    showNewEvents(removedBefore);
}

void gameWorld::rememberPlacements()
{
    for (mobileObject* o : objects) {
        o->previousPlacement = o->placement;
        o->placedAnew = false;
    }
}

void gameWorld::beginFrame()
{
    deleteRemoved();
    if (frameEventsToEmpty) {
        for (mobileObject* o : objects)
            o->frameEvents.clear();
        frameEventsToEmpty = false;
    }
    // Codes raised outside any step (the additions start() makes before the
    // first step, the steering the screen asks for before an update) belong
    // to this update's view: the first step of play empties them, and a
    // resume from a pause in the ready phase skips the step that would have
    // shown them.
    showNewEvents(removedObjects.size());
    if (player)
        player->beginInput();
}

void gameWorld::endFrame(int steps, int firstPreviousMs)
{
    if (player)
        player->endInput();
    if (!section)
        return;
    // The screen asks the score about the whole render frame at once.
    if (steps == 0)
        section->previousFrameMs = section->currentFrameMs;
    else if (firstPreviousMs <= section->previousFrameMs)
        section->previousFrameMs = firstPreviousMs;
}

void gameWorld::showNewEvents(size_t removedBefore)
{
    auto show = [this](mobileObject* o) {
        if (o->eventsShown != static_cast<int>(o->events.size())) {
            o->showEvents();
            frameEventsToEmpty = true;
        }
    };
    for (mobileObject* o : objects)
        show(o);
    for (size_t i = removedBefore; i < removedObjects.size(); ++i)
        show(removedObjects[i]);
}

void gameWorld::stepPlaying()
{
    if (player->lives <= 0) {
        phase = PHASE_LOST;
        return;
    }
    if (section && section->getDuration() < now) {
        player->scoreValue += player->extraLifeStep * player->lives;
        phase = PHASE_WON;
        return;
    }
    moveObjects();
    spawnDirector(this);
    player->update();
    formations->update();
    updatePlayerModes(this);
    player->afterShot();
    shotsLeaveTheirGuns();
}

void gameWorld::shotsLeaveTheirGuns()
{
    // A shot fired in this step stands where its gun stands at the step's
    // end; drawn there at once it would lead its shooter, which is drawn
    // between its last two places. Given the way its shooter came, it is
    // drawn at the gun until its own first step. New objects are at the back
    // of the list, with EVENT_ADDED until their first step.
    for (auto it = objects.rbegin(); it != objects.rend() && (*it)->hasEvent(EVENT_ADDED); ++it) {
        mobileObject* shot = *it;
        const mobileObject* gun = shot->owner;
        if (shot->type != TYPE_BULLET || !shot->placedAnew || !gun || gun->placedAnew)
            continue;
        Placement& from = shot->previousPlacement;
        from = shot->placement;
        from.x += gun->previousPlacement.x - gun->placement.x;
        from.y += gun->previousPlacement.y - gun->placement.y;
        from.z += gun->previousPlacement.z - gun->placement.z;
        shot->placedAnew = false;
    }
}

void gameWorld::moveObjects()
{
    if (ship* s = formations->findColliding(*player))
        if (player->acceptsHitFrom(*s))
            collide(*s, *player);

    const float playerStopV = TUBE_FAR_END * EXIT_STOP_FRACTION;
    for (size_t i = 0; i < objects.size();) {
        mobileObject* o = objects[i];
        o->clearEvents();
        if (o->type == TYPE_BULLET) {
            if (o->side == 1) {
                if (ship* t = formations->findColliding(*o))
                    collide(*o, *t);
            } else if (shipsOverlap(*o, *player) && player->acceptsHitFrom(*o)) {
                collide(*o, *player);
            }
        }
        o->position.u += o->velocityU * dt;
        o->position.v += o->velocityV * dt;
        wrapUnit(o->position.u);
        if (o == player) {
            // The player stays on the tube for the whole game; the fly-out
            // ends at its stop line however long the frame was.
            float& v = o->position.v;
            if (player->flyingOut && v > playerStopV)
                v = playerStopV;
            v = std::min(std::max(v, o->minV), o->maxV);
        }
        o->refresh();
        const float v = o->position.getV();
        if (o != player && !(v >= o->minV && v <= o->maxV))
            removeObject(o);
        else
            applyPendingDamage(*o);
        if (i < objects.size() && objects[i] == o)
            ++i;
    }
}

void gameWorld::addObject(mobileObject* object)
{
    object->world = this;
    object->placedAnew = true;
    objects.push_back(object);
    object->raise(EVENT_ADDED);
}

void gameWorld::removeObject(mobileObject* object)
{
    if (object == player)
        return;
    if (object->side == 0 && isDestroyed(*object) && player)
        player->scoreValue += object->scoreValue;
    objects.erase(std::remove(objects.begin(), objects.end(), object), objects.end());
    if (std::find(removedObjects.begin(), removedObjects.end(), object) == removedObjects.end())
        removedObjects.push_back(object);
    object->leftWorld();
}

void gameWorld::forgetObject(const mobileObject* gone)
{
    for (mobileObject* o : objects)
        o->forget(gone);
    for (mobileObject* o : removedObjects)
        o->forget(gone);
    if (formations)
        for (formation* f : formations->formations)
            for (formation::Pending& p : f->pendingShips)
                p.member->forget(gone);
}

void gameWorld::retireRemoved()
{
    while (retired < removedObjects.size())
        forgetObject(removedObjects[retired++]);
}

void gameWorld::deleteRemoved()
{
    retireRemoved();
    retired = 0;
    if (removedObjects.empty())
        return;
    deleting.swap(removedObjects);
    for (mobileObject* gone : deleting)
        delete gone;
    deleting.clear();
}
