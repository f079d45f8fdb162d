#pragma once
// Objects that move on the tube, and the two simplest of them: bullets and
// background markers.
#include "world/simulationObject.h"
#include "world/tube.h"

class ship;

class mobileObject : public simulationObject {
public:
    mobileObject();
    ~mobileObject() override = default;
    mobileObject(const mobileObject&) = default;
    // Copies every field, the event list included (ships are stamped from a
    // prototype this way, side volleys from the shot they flank).
    mobileObject& operator=(const mobileObject&) = default;

    // Called when hit points fall to 0 or below: leaves the world.
    virtual void destroyed();
    // Called by the world when this object leaves its live list (culled or
    // destroyed): a ship leaves its formation at once.
    virtual void leftWorld() {}
    // Called by the world before it deletes `gone`: drop every link to it.
    virtual void forget(const mobileObject* gone);

    void setDefaults(gameWorld* world);
    void place(Placement& out, const PositionSpec& pos) const;
    void updateBounds(const PositionSpec& pos);
    void setPosition(float u, float v);
    void setHeading(float h);
    void setSpeed(float s);
    void setSize(float s, float aspect);
    void addDamage(float amount);
    // place() and updateBounds() on the object's own position.
    void refresh();
    // Where to draw the object when song time lies the share stepFraction
    // (0 to 1) of a step past the last step: between its placements at the
    // end of the last two steps, or where it stands when it was placed anew.
    Placement drawnPlacement(float stepFraction) const
    {
        return placedAnew ? placement : placementBetween(previousPlacement, placement, stepFraction);
    }

    float size;
    float halfExtentU;
    float halfExtentV;
    bool useOwnRadius;
    float radius;
    float speed;
    int scoreValue;
    float heading;
    PositionSpec position;
    Placement placement;
    // The placement at the end of the step before the last one.
    Placement previousPlacement;
    // The object entered the world, or was set down somewhere rather than
    // moved, in the last step (or outside any step since): there is no way
    // between two placements to draw.
    bool placedAnew = true;
    int side;  // 0 enemy, 1 player
    float hitPoints;
    float damageFactor;
    bool active;
    ship* owner;
    float velocityU;
    float velocityV;
    float pendingDamage;
    PositionSpec lowBounds;
    PositionSpec highBounds;
    bool boundsOrdered;
    float minV;
    float maxV;

protected:
    void recomputeVelocity();

private:
    void placeOnTube(Placement& out, const PositionSpec& pos, float ownRadius) const;
    // cos and sin of the last tube angle placed; most objects keep their u.
    mutable float trigAngle = -1.0f;
    mutable double trigCos = 0.0;
    mutable double trigSin = 0.0;
};

class bullet : public mobileObject {
public:
    bullet();
    bullet(float heading, gameWorld* world, PositionSpec start);

    // The type code of the ship that fired it (TYPE_NONE: none). Unlike the
    // owner, which the world drops when that ship goes, it stays for the
    // bullet's whole life, so its figure is styled after its shooter even
    // when the shooter was removed before the figure was made.
    int shooterType = TYPE_NONE;
};

class background_marker : public mobileObject {
public:
    background_marker();
    background_marker(gameWorld* world, PositionSpec start);
    void setDefaults(gameWorld* world);
};

// The type code of the ship that fired o when o is a bullet, else TYPE_NONE.
int shooterTypeOf(const simulationObject* o);

// Contact damage both ways, applied later by the world.
void collide(mobileObject& a, mobileObject& b);
// Collision boxes overlap and both objects are active. Inline: the world
// asks it for every pair of a shot and a formation member every frame.
inline bool shipsOverlap(const mobileObject& a, const mobileObject& b)
{
    // Cheapest test first; the answer is the conjunction of all three.
    if (!a.active || !b.active)
        return false;
    if (!(a.lowBounds.getV() <= b.highBounds.getV() && b.lowBounds.getV() <= a.highBounds.getV()))
        return false;
    const float aLow = a.lowBounds.getU(), aHigh = a.highBounds.getU();
    const float bLow = b.lowBounds.getU(), bHigh = b.highBounds.getU();
    bool alongU;
    if (a.boundsOrdered && b.boundsOrdered)
        alongU = aLow <= bHigh && bLow <= aHigh;
    else if (!a.boundsOrdered && !b.boundsOrdered)
        alongU = true;  // both boxes contain the seam
    else
        alongU = aLow <= bHigh || bLow <= aHigh;
    return alongU;
}

// Applies pending damage; raises EVENT_DESTROYED and calls destroyed() when
// hit points reach 0.
void applyPendingDamage(mobileObject& object);
