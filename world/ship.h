#pragma once
// Ships: mobile objects that fire on the song's notes, steer through the
// turns and drifts of their formation's scripts and may be handed over from
// one formation to another at a scheduled song time.
#include "song/timeEvent.h"
#include "world/mobileObject.h"

class formation;
class ship;

using FormationCallback = void (*)(ship&);

class ship : public mobileObject {
public:
    ship();
    ~ship() override;
    ship(const ship& other);
    // Copies the mobile object's fields and every ship field.
    ship& operator=(const ship& other);

    void destroyed() override;
    void leftWorld() override;
    void forget(const mobileObject* gone) override;
    virtual bullet* fire(int cooldownMs);
    virtual void tryFire();
    virtual bool fireNoteDue();
    virtual bool actionNoteDue();

    void setDefaults(gameWorld* world);
    bool inFiringZone() const;
    void startTurn(bool increasing, float radius, float angle);
    // Advances the current turn by one frame; true once it is over.
    bool turnStep();
    void startDrift(float distance);
    // Whether the current drift has covered its distance.
    bool arrived();
    void checkHandOver();

    int handOverMs;
    ::formation* nextFormation;
    int fireMod;
    int fireRem;
    int fireOffsetMs;
    int actionMod;
    int actionRem;
    int actionOffsetMs;
    int noteShiftMs;
    int fireCooldownMs;
    FormationCallback formationCallback;
    int moveMode;  // 0 none, 1 drift, 2 turn
    float turnTarget;
    PositionSpec driftTarget;
    bool turnIncreasing;
    float turnRadius;
    ::formation* formation;
    int lives;  // the player's; declared here as the ship record has it
    int nextFireMs;
    // Shots this ship has fired: the boss ships vary every second one.
    int shotsFired;
    bullet* lastBullet;
    const OccurrenceIndex* fireQuery;
    const OccurrenceIndex* actionQuery;

    // Drift bookkeeping: the distance still to cover and where the ship
    // stood when it last measured.
    float driftRemaining;
    PositionSpec driftFrom;

protected:
    bool noteDue(const OccurrenceIndex* query, int mod, int rem, int offsetMs) const;
    // Creates, registers and returns a bullet fired by this ship, or null
    // while the cooldown runs.
    bullet* fireBullet(int cooldownMs);
};
