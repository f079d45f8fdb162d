#pragma once
// Tube coordinates and their transform into world space.
//
// u runs around the circumference in [0, 1); v runs along the axis from the
// player's end (0) to the far end (4). A heading is in degrees, 0 toward +v,
// 90 toward +u.

// A record of optional values; an absent value reads as UNSET_VALUE.
struct PositionSpec {
    float u = 0.0f;
    float v = 0.0f;
    bool hasU = false;
    bool hasV = false;
    float angle = 0.0f;  // degrees; in an object's own position, 90 - heading
    bool hasAngle = false;
    float sizeU = 1.0f;
    float sizeV = 1.0f;
    bool hasSizeU = false;
    bool hasSizeV = false;

    static PositionSpec at(float u, float v);

    float getU() const { return hasU ? u : -10000.0f; }
    float getV() const { return hasV ? v : -10000.0f; }
    float getAngle() const { return hasAngle ? angle : -10000.0f; }
    float getSizeU() const { return hasSizeU ? sizeU : -10000.0f; }
    float getSizeV() const { return hasSizeV ? sizeV : -10000.0f; }

    void setU(float value);  // present, wrapped into [0, 1)
    void setV(float value);  // present

    // u into [0, 1), angle into [0, 360), whatever the flags say.
    void normalise();
    // Adds delta's values where both records have them, then normalises.
    void add(const PositionSpec& delta);
    // Copies every value present in src (and its flag), then normalises.
    void apply(const PositionSpec& src);
};

// A figure's placement in world space: position, rotation angles in degrees,
// scale factors.
struct Placement {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float angle1 = 0.0f, angle2 = 0.0f, angle3 = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
};

struct TubeGeometry {
    float size;
    float lengthScale;
    Placement base;
};

struct TubeRef {
    const TubeGeometry* geometry;
    float radius;
};

// The tube every world builds; used as well by objects that have no world yet.
TubeGeometry defaultTubeGeometry();
const TubeRef& defaultTube();

// Brings x into [0, 1).
void wrapUnitSlow(float& x);
// Brings an angle in degrees into [0, 360); a non-finite angle would never
// settle and is left alone.
void wrapDegrees(float& degrees);
inline void wrapUnit(float& x)
{
    if (x >= 0.0f && x < 1.0f)
        return;
    wrapUnitSlow(x);
}
// Writes out's position and angles for pos (raw values, flags ignored); keeps
// out's scale. ownRadius below -1000 means the tube's radius.
void tubeToWorld(float ownRadius, Placement& out, const TubeRef& tube, const PositionSpec& pos);
// The same with cos and sin of the position's angle round the tube already
// known (objects keep them while their u does not change).
void tubeToWorld(double cosTheta, double sinTheta, float ownRadius, Placement& out, const TubeRef& tube,
                 const PositionSpec& pos);
// The angle round the tube of a position: (u + 0.25) * TWO_PI.
float tubeAngle(const PositionSpec& pos);
// out's scale from pos's sizes (absent sizes read as UNSET_VALUE).
void scaleFromSize(const PositionSpec& pos, Placement& out);
// The placement the share t (0 to 1) of the way from one to the other:
// positions and scales in a straight line, each angle along the shorter
// arc (359 to 1 degree passes through 0), so that a figure crossing the
// tube's seam, where u and the angles made from it jump by a whole turn,
// turns on smoothly.
Placement placementBetween(const Placement& from, const Placement& to, float t);
