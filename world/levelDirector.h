#pragma once
// The level director: turns the one song into one level. At every game start
// it sets the level up from the score; every frame it launches waves on score
// events and sets the player's power modes from the rhythm judges.
#include "world/enemyShips.h"
#include "world/formation.h"
#include "world/mobileObject.h"
#include "world/shipContent.h"

class gameWorld;

// The wave templates, global and set up again for every game.
extern ship_content<asteroidShip> asteroidWave;
extern ship_content<beeShip> beeWave;
extern ship_content<blockerShip> blockerWave;
extern ship_content<dragonflyShip> dragonflyWave;
extern ship_content<mosquitoShip> mosquitoWave;
extern ship_content<flowerShip> flowerWave;
extern ship_content<scorpionShip> scorpionWave;
extern ship_content<snakeShip> snakeWaveA;
extern ship_content<snakeShip> snakeWaveB;
extern ship_content<spikeShip> spikeWave;
extern ship_content<tentacleShip> tentacleWaveA;
extern ship_content<tentheadShip> tentheadWaveA;
extern ship_content<tentacleShip> tentacleWaveB;
extern ship_content<tentheadShip> tentheadWaveB;

extern background_marker backgroundMarkerPrototype;
extern const PositionSpec markerSpawnSpec;

extern StepScript stepScript0;
extern StepScript stepScript1111;
extern StepScript stepScript2222;
extern StepScript stepScript200200;
extern StepScript stepScript3;
extern StepScript stepScript4;

// Tentacle heads destroyed in the current game.
extern int tentheadKills;

void setupLevelContent(gameWorld* world);
void initMovementSteps();
void resetMarkerPrototype(gameWorld* world);
void addBackgroundMarkers(gameWorld* world);
void updatePlayerModes(gameWorld* world);
// The spawn schedule: waves and markers on score events, and the end rule.
void spawnDirector(gameWorld* world);
