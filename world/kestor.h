#pragma once
// The player's ship: circles the near end of the tube, fires on request,
// loses a life when destroyed and comes back protected, earns extra lives
// from its score and turns its shots into power shots and side volleys when
// the level director says so.
#include "world/ship.h"

class kestor : public ship {
public:
    // A player that belongs to no world (tests that build their own).
    kestor();
    // The world's player: adds itself to the world's objects, which own it.
    explicit kestor(gameWorld* world);

    void destroyed() override;

    // Once per playing frame: fire request, respawn rise, extra lives.
    void update();
    // Steer this frame toward +u / -u.
    void movePlusU();
    void moveMinusU();
    bool acceptsHitFrom(const mobileObject& other) const;
    // Power shot and side volley of the shot fired this frame.
    void afterShot();
    // The end of the song: from now on the ship can no longer be hit.
    void startFlyOut();

    // The keys the play screen set before an update hold for every step of
    // that update. beginInput takes them at its start; prepareStep gives
    // them to each step (the first step already has the screen's own
    // steering calls); endInput lets them go. A tap fires once: it waits
    // for the first step that handles the fire request, and the steps after
    // it see the key held.
    void beginInput();
    void prepareStep(bool firstOfUpdate);
    void endInput();
    // beginInput and endInput of an update that runs no step.
    void idleFrame()
    {
        if (fireRequested && fireKind == 0)
            tapPending = true;
        steerCommand = 0;
        velocityU = 0.0f;
        fireRequested = false;
        fireHeld = false;
    }

    bool repeatFire;
    int holdUntilMs;
    bool respawning;
    int invulnerableUntil;
    bool powerMode;
    bool volleyMode;
    int extraLifeCount;
    int extraLifeStep;
    bool fireRequested;
    int fireKind;  // 0 tap, 1 held
    bool flyingOut;
    // Input of the current update: the steering of the last move call (+1,
    // -1, 0 none), a tap not yet fired, and the fire key's state.
    int steerCommand;
    bool tapPending;
    bool fireHeld;
    int heldKind;

private:
    void setUp(gameWorld* world);
    void fireByKind();
    void rise();
    void checkExtraLife();
    void steer(float velocity, int code);
    void endRespawnIfDue();
};
