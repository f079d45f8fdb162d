#include "world/levelDirector.h"

#include "song/songScore.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/sharedConstants.h"

#include <initializer_list>

// Static construction order: the templates, the marker prototype, the marker
// start position; destroyed at exit in reverse.
ship_content<asteroidShip> asteroidWave;
ship_content<beeShip> beeWave;
ship_content<blockerShip> blockerWave;
ship_content<dragonflyShip> dragonflyWave;
ship_content<mosquitoShip> mosquitoWave;
ship_content<flowerShip> flowerWave;
ship_content<scorpionShip> scorpionWave;
ship_content<snakeShip> snakeWaveA;
ship_content<snakeShip> snakeWaveB;
ship_content<spikeShip> spikeWave;
ship_content<tentacleShip> tentacleWaveA;
ship_content<tentheadShip> tentheadWaveA;
ship_content<tentacleShip> tentacleWaveB;
ship_content<tentheadShip> tentheadWaveB;

background_marker backgroundMarkerPrototype;
const PositionSpec markerSpawnSpec = PositionSpec::at(0.5f, TUBE_FAR_END * 2.0f);

StepScript stepScript0;
StepScript stepScript1111;
StepScript stepScript2222;
StepScript stepScript200200;
StepScript stepScript3;
StepScript stepScript4;

int tentheadKills = 0;

namespace {

void setRows(StepScript& script, std::initializer_list<int> rows)
{
    script.count = 0;
    for (int row : rows)
        script.steps[script.count++] = &FORMATION_STEPS[row];
}

void addScripts(formation& f, std::initializer_list<const StepScript*> scripts)
{
    for (const StepScript* s : scripts)
        f.addScript(s);
}

} // namespace

void initMovementSteps()
{
    setRows(stepScript0, {0});
    setRows(stepScript1111, {1, 1, 1, 1});
    setRows(stepScript2222, {2, 2, 2, 2});
    setRows(stepScript200200, {2, 0, 0, 2, 0, 0});
    setRows(stepScript3, {3});
    setRows(stepScript4, {4});
}

void resetMarkerPrototype(gameWorld* world)
{
    background_marker built(world, markerSpawnSpec);
    backgroundMarkerPrototype = built;
}

void setupLevelContent(gameWorld* world)
{
    kestor* player = world->player;
    player->extraLifeStep = EXTRA_LIFE_STEP;
    player->lives = START_LIVES;
    world->playerModesEnabled = true;
    songScore& score = *world->songScore;
    score.bindGroups(world);
    formationManager& manager = *world->formations;
    manager.defaultNoteQuery = &score.tentheadNoteGroupB().index;
    manager.defaultActionQuery = &score.tentheadNoteGroupB().index;
    initMovementSteps();
    manager.clear();
    resetMarkerPrototype(world);
    tentheadKills = 0;

    const OccurrenceIndex* shipNotes = &score.shipNoteGroup().index;

    asteroidWave.setup(world, 0.5f, 4.0f, 165.0f, 0.3333f);
    asteroidWave.entryFormation.noteQuery = shipNotes;
    asteroidWave.entryFormation.actionQuery = shipNotes;
    asteroidWave.computeHandOverDelay(0.0f);
    asteroidWave.spacingMs = 500;

    mosquitoWave.setup(world, 0.0f, -0.05f, 330.0f, 0.0f, 0.5f, 0.0f);
    mosquitoWave.prototype.fireMod = 4;
    mosquitoWave.prototype.fireRem = 0;
    addScripts(mosquitoWave.handOverFormation, {&stepScript3, &stepScript4, &stepScript1111, &stepScript2222,
                                                &stepScript4, &stepScript3, &stepScript2222, &stepScript1111});
    mosquitoWave.computeHandOverDelay(0.4f);
    mosquitoWave.handOver = true;
    mosquitoWave.spacingMs = 250;

    flowerWave.setup(world, 0.825f, 4.0f, 180.0f, 0.25f, 0.125f, 0.0f);
    flowerWave.prototype.setSpeed(8.0f * flowerWave.prototype.speed);
    flowerWave.handOverFormation.overrideSpeed = true;
    flowerWave.handOverFormation.memberSpeed = 0.09125f;
    addScripts(flowerWave.handOverFormation, {&stepScript200200, &stepScript2222, &stepScript1111});
    flowerWave.computeHandOverDelay(0.275f);
    flowerWave.handOver = true;

    spikeWave.setup(world, 0.1667f, 4.0f, 180.0f, 0.1667f);
    spikeWave.entryFormation.noteQuery = shipNotes;
    spikeWave.entryFormation.actionQuery = shipNotes;
    spikeWave.computeHandOverDelay(0.0f);

    blockerWave.setup(world, 0.667f, 2.0f, 185.0f, 0.3333f);
    blockerWave.entryFormation.noteQuery = shipNotes;
    blockerWave.computeHandOverDelay(-1.0f);
    blockerWave.spacingMs = 500;

    dragonflyWave.setup(world, 0.5f, 2.0f, 210.0f, 0.5f);
    addScripts(dragonflyWave.entryFormation, {&stepScript0, &stepScript2222, &stepScript1111});
    dragonflyWave.computeHandOverDelay(0.0f);

    beeWave.setup(world, 0.0f, -0.05f, 0.0f, 0.0f, 0.333f, 0.0f);
    addScripts(beeWave.handOverFormation, {&stepScript3, &stepScript3, &stepScript3, &stepScript3, &stepScript4,
                                           &stepScript4, &stepScript4, &stepScript4, &stepScript3, &stepScript4});
    beeWave.computeHandOverDelay(0.4f);
    beeWave.handOver = true;
    beeWave.spacingMs = 250;

    scorpionWave.setup(world, 0.1667f, -0.05f, 0.0f, 0.0f, 0.333f, 0.0f);
    addScripts(scorpionWave.handOverFormation, {&stepScript200200, &stepScript3, &stepScript3, &stepScript3,
                                                &stepScript4, &stepScript4, &stepScript4});
    scorpionWave.computeHandOverDelay(0.4f);
    scorpionWave.handOver = true;
    scorpionWave.spacingMs = 500;

    for (auto* snakes : {&snakeWaveA, &snakeWaveB}) {
        snakes->setup(world, snakes == &snakeWaveA ? 0.25f : 0.75f, 2.0f, 210.0f, 0.0f);
        addScripts(snakes->entryFormation, {&stepScript0, &stepScript0, &stepScript2222, &stepScript1111});
        snakes->entryFormation.noteQuery = shipNotes;
        snakes->computeHandOverDelay(0.0f);
        snakes->spacingMs = 750;
    }

    // A tentacle fires as long before its note as its bullet needs for the
    // way from the hold line to the player.
    const int fireOffsetA = static_cast<int>(500.0f / BULLET_SPEED);
    const int fireOffsetB = static_cast<int>(400.0f / BULLET_SPEED);

    tentacleWaveA.setup(world, 0.0625f, 0.5f, 180.0f, 0.125f);
    tentacleWaveA.entryFormation.noteQuery = &score.tentacleNoteGroup().index;
    tentacleWaveA.entryFormation.actionQuery = shipNotes;
    tentacleWaveA.prototype.fireOffsetMs = fireOffsetA;
    tentacleWaveA.prototype.fireCooldownMs = 2000;
    tentacleWaveA.prototype.formationCallback = followOwner;
    tentacleWaveA.spacingMs = 1000;

    tentheadWaveA.setup(world, 0.5f, 4.0f, 180.0f, 0.1667f);
    tentheadWaveA.entryFormation.noteQuery = &score.tentheadNoteGroupA().index;
    tentheadWaveA.entryFormation.actionQuery = shipNotes;
    tentheadWaveA.tentacleTemplate = &tentacleWaveA;
    tentheadWaveA.tentacleCount = 8;
    tentheadWaveA.prototype.scoreValue = 8;
    tentheadWaveA.prototype.nextFireMs = 999999;
    tentheadWaveA.prototype.fireOffsetMs = fireOffsetA;
    tentheadWaveA.prototype.fireCooldownMs = 1000;
    tentheadWaveA.holdV = 0.5f;
    tentheadWaveA.computeHandOverDelay(0.5f);
    tentheadWaveA.prototype.formationCallback = holdThenRetreat;

    tentacleWaveB.setup(world, 0.03125f, 0.4f, 180.0f, 0.0625f);
    tentacleWaveB.entryFormation.noteQuery = &score.tentacleNoteGroupB().index;
    tentacleWaveB.entryFormation.actionQuery = shipNotes;
    tentacleWaveB.prototype.fireOffsetMs = fireOffsetB;
    tentacleWaveB.prototype.fireCooldownMs = 4000;
    tentacleWaveB.prototype.formationCallback = followOwner;
    tentacleWaveB.spacingMs = 1000;

    tentheadWaveB.setup(world, 0.5f, 4.0f, 180.0f, 0.0f);
    tentheadWaveB.entryFormation.noteQuery = &score.tentheadNoteGroupB().index;
    tentheadWaveB.entryFormation.actionQuery = shipNotes;
    tentheadWaveB.tentacleCount = 16;
    tentheadWaveB.prototype.scoreValue = 16;
    tentheadWaveB.tentacleTemplate = &tentacleWaveB;
    tentheadWaveB.prototype.nextFireMs = score.songLengthMs;
    tentheadWaveB.prototype.fireOffsetMs = fireOffsetB;
    tentheadWaveB.prototype.hitPoints *= 2.0f;
    tentheadWaveB.prototype.fireCooldownMs = 500;
    tentheadWaveB.holdV = 0.4f;
    tentheadWaveB.computeHandOverDelay(0.4f);
    tentheadWaveB.prototype.formationCallback = holdPosition;
}

void addBackgroundMarkers(gameWorld* world)
{
    if (!world->markersEnabled)
        return;
    auto* first = new background_marker(world, markerSpawnSpec);
    *first = backgroundMarkerPrototype;
    world->addObject(first);
    auto* second = new background_marker(world, markerSpawnSpec);
    *second = backgroundMarkerPrototype;
    second->type = TYPE_MARKER_2;
    second->setHeading(178.0f);
    world->addObject(second);
}

void updatePlayerModes(gameWorld* world)
{
    auto& judges = world->songScore->judges;
    judges[6].update();
    for (int k = 0; k < 6; ++k)
        judges[k].update();
    if (!world->playerModesEnabled)
        return;
    kestor& player = *world->player;
    bool running = false, perfect = false, reset = false;
    for (int k = 0; k < 6; ++k) {
        running = running || judges[k].running;
        perfect = perfect || judges[k].isPerfect();
        reset = reset || judges[k].hasEvent(EVENT_RUN_RESET);
    }
    if (!running) {
        player.powerMode = false;
        player.volleyMode = false;
    } else {
        player.volleyMode = true;
        player.powerMode = perfect;
    }
    if (reset)
        player.powerMode = player.volleyMode = false;
}
