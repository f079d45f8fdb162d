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

private:
    void setUp(gameWorld* world);
    void fireByKind();
    void rise();
    void checkExtraLife();
    void steer(float velocity, int code);
    void endRespawnIfDue();
};
