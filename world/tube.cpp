#include "world/tube.h"

#include "world/sharedConstants.h"

#include <cmath>

PositionSpec PositionSpec::at(float u, float v)
{
    PositionSpec p;
    p.setU(u);
    p.setV(v);
    return p;
}

static_assert(UNSET_VALUE == -10000.0f, "PositionSpec's getters read absent values as UNSET_VALUE");

void PositionSpec::setU(float value)
{
    u = value;
    wrapUnit(u);
    hasU = true;
}

void PositionSpec::setV(float value)
{
    v = value;
    hasV = true;
}

void PositionSpec::normalise()
{
    wrapUnit(u);
    wrapDegrees(angle);
}

void wrapDegrees(float& degrees)
{
    if (!std::isfinite(degrees))
        return;
    // Far-out values are cut down first, so the loops below stay short.
    if (degrees < -3600.0f || degrees > 3600.0f)
        degrees = std::fmod(degrees, 360.0f);
    while (degrees < 0.0f)
        degrees += 360.0f;
    while (degrees >= 360.0f)
        degrees -= 360.0f;
}

void PositionSpec::add(const PositionSpec& d)
{
    if (hasU && d.hasU)
        u += d.u;
    if (hasV && d.hasV)
        v += d.v;
    if (hasAngle && d.hasAngle)
        angle += d.angle;
    if (hasSizeU && d.hasSizeU)
        sizeU += d.sizeU;
    if (hasSizeV && d.hasSizeV)
        sizeV += d.sizeV;
    normalise();
}

void PositionSpec::apply(const PositionSpec& s)
{
    if (s.hasU)
        setU(s.u);
    if (s.hasV)
        setV(s.v);
    if (s.hasAngle) {
        angle = s.angle;
        hasAngle = true;
    }
    if (s.hasSizeU) {
        sizeU = s.sizeU;
        hasSizeU = true;
    }
    if (s.hasSizeV) {
        sizeV = s.sizeV;
        hasSizeV = true;
    }
    normalise();
}

TubeGeometry defaultTubeGeometry()
{
    TubeGeometry g;
    g.size = TUBE_SIZE;
    g.lengthScale = TUBE_LENGTH_SCALE;
    g.base.x = TUBE_ORIGIN_X;
    g.base.y = TUBE_ORIGIN_Y;
    g.base.z = 0.0f;
    return g;
}

const TubeRef& defaultTube()
{
    static const TubeGeometry geometry = defaultTubeGeometry();
    static const TubeRef tube{&geometry, TUBE_RADIUS};
    return tube;
}

void wrapUnitSlow(float& x)
{
    // A non-finite value would never settle; leave it for the culling to see.
    if (!std::isfinite(x))
        return;
    if (x < -1024.0f || x > 1024.0f)  // far out: subtracting ones would not settle
        x -= std::floor(x);
    while (x < 0.0f)
        x += 1.0f;
    while (x >= 1.0f)
        x -= 1.0f;
}

float tubeAngle(const PositionSpec& pos) { return (pos.u + 0.25f) * TWO_PI; }

void tubeToWorld(float ownRadius, Placement& out, const TubeRef& tube, const PositionSpec& pos)
{
    const double theta = static_cast<double>(tubeAngle(pos));
    tubeToWorld(std::cos(theta), std::sin(theta), ownRadius, out, tube, pos);
}

void tubeToWorld(double cosTheta, double sinTheta, float ownRadius, Placement& out, const TubeRef& tube,
                 const PositionSpec& pos)
{
    const float r = ownRadius >= -1000.0f ? ownRadius : tube.radius;
    const TubeGeometry& g = *tube.geometry;
    out.x = static_cast<float>(cosTheta * r) + g.size * 0.5f + g.base.x;
    out.y = g.lengthScale * pos.v + g.base.y;
    out.z = static_cast<float>(sinTheta * r) + g.base.z + tube.radius;
    out.angle1 = 0.0f;
    out.angle2 = (0.5f - pos.u) * 360.0f;
    out.angle3 = pos.angle + 270.0f;
}

void scaleFromSize(const PositionSpec& pos, Placement& out)
{
    const float su = pos.getSizeU();
    const float sv = pos.getSizeV();
    out.scaleX = su * FIGURE_SCALE;
    out.scaleY = sv * FIGURE_SCALE;
    out.scaleZ = (su + sv) * 0.5f * FIGURE_SCALE;
}

namespace {

float lerp(float a, float b, float t) { return a + (b - a) * t; }

float lerpDegrees(float a, float b, float t)
{
    const float d = std::remainder(b - a, 360.0f);
    return std::isfinite(d) ? a + d * t : a;
}

} // namespace

Placement placementBetween(const Placement& from, const Placement& to, float t)
{
    // The ends exactly, not a rounding or a whole turn away.
    if (!(t > 0.0f))
        return from;
    if (t >= 1.0f)
        return to;
    Placement p;
    p.x = lerp(from.x, to.x, t);
    p.y = lerp(from.y, to.y, t);
    p.z = lerp(from.z, to.z, t);
    p.angle1 = lerpDegrees(from.angle1, to.angle1, t);
    p.angle2 = lerpDegrees(from.angle2, to.angle2, t);
    p.angle3 = lerpDegrees(from.angle3, to.angle3, t);
    p.scaleX = lerp(from.scaleX, to.scaleX, t);
    p.scaleY = lerp(from.scaleY, to.scaleY, t);
    p.scaleZ = lerp(from.scaleZ, to.scaleZ, t);
    return p;
}
