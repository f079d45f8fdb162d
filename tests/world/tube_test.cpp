// Tuning constants, tube geometry and the simplest objects on the tube.
#include "world/gameWorld.h"
#include "world/mobileObject.h"
#include "world/sharedConstants.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Built during program start-up, before any world or test runs.
bullet startupBullet(180.0f, nullptr, PositionSpec::at(0.5f, 1.0f));

} // namespace

TEST(SharedConstants, DerivedValuesAreTheFloatForms)
{
    EXPECT_EQ(DEG_TO_RAD, 0.017453294f);
    EXPECT_NE(DEG_TO_RAD, static_cast<float>(M_PI / 180.0));
    EXPECT_EQ(RAD_TO_DEG, 57.295776f);
    EXPECT_NE(RAD_TO_DEG, static_cast<float>(180.0 / M_PI));
    EXPECT_EQ(LOOKAHEAD_MS, 8000);
    EXPECT_FLOAT_EQ(FIGURE_SCALE, 18.849556f);
    EXPECT_FLOAT_EQ(BIG_BULLET_DAMAGE, 4.008004f);
    EXPECT_EQ(MARKER_FAR_LIMIT, 8.0f);
    EXPECT_EQ(MARKER_NEAR_LIMIT, -4.0f);
    EXPECT_EQ(FORMATION_STEPS[0].kind, STEP_DRIFT);
    EXPECT_EQ(FORMATION_STEPS[18].radius, 0.1f);
    EXPECT_TRUE(FORMATION_STEPS[4].increasing);
    EXPECT_FALSE(FORMATION_STEPS[3].increasing);
}

TEST(SharedConstants, StartupObjectSeesFinalValues)
{
    EXPECT_NEAR(startupBullet.velocityU, 0.0f, 1e-6f);
    EXPECT_NEAR(startupBullet.velocityV, -BULLET_SPEED, 1e-6f);
    // Placed on the standard tube although no world existed.
    EXPECT_NEAR(startupBullet.placement.y, 40.0f, 1e-4f);
}

TEST(Tube, WrapUnit)
{
    struct Case { float in, out; } cases[] = {{-0.25f, 0.75f}, {1.0f, 0.0f}, {0.999f, 0.999f}, {2.5f, 0.5f},
                                               {-3.0f, 0.0f}, {0.0f, 0.0f}};
    for (auto c : cases) {
        float x = c.in;
        wrapUnit(x);
        EXPECT_FLOAT_EQ(x, c.out) << c.in;
    }
    float huge = 1e30f;
    wrapUnit(huge);  // must settle, not spin
    EXPECT_TRUE(huge >= 0.0f && huge < 1.0f);
}

TEST(Tube, WorldPlacementExamples)
{
    const TubeRef& tube = defaultTube();
    struct Case { float u, x, z, angle2; } cases[] = {{0.5f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 6.0f, 180.0f},
                                                      {0.25f, -3.0f, 3.0f, 90.0f}};
    for (auto c : cases) {
        PositionSpec p = PositionSpec::at(c.u, 0.0f);
        p.angle = 30.0f;
        Placement out;
        out.scaleX = 7.0f;
        tubeToWorld(UNSET_VALUE, out, tube, p);
        EXPECT_NEAR(out.x, c.x, 1e-5f) << c.u;
        EXPECT_FLOAT_EQ(out.y, -40.0f);
        EXPECT_NEAR(out.z, c.z, 1e-5f) << c.u;
        EXPECT_FLOAT_EQ(out.angle2, c.angle2);
        EXPECT_FLOAT_EQ(out.angle3, 300.0f);
        EXPECT_EQ(out.scaleX, 7.0f);  // scale untouched
    }
    PositionSpec far = PositionSpec::at(0.5f, 4.0f);
    Placement out;
    tubeToWorld(0.0f, out, tube, far);  // own radius 0: on the axis
    EXPECT_NEAR(out.x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(out.y, 280.0f);
    EXPECT_FLOAT_EQ(out.z, 3.0f);
}

TEST(Tube, PositionSpecAddAndApply)
{
    PositionSpec p = PositionSpec::at(0.9f, 1.0f);
    PositionSpec d;
    d.u = 0.2f;
    d.hasU = true;
    d.v = 5.0f;  // absent in d: not added
    p.add(d);
    EXPECT_NEAR(p.u, 0.1f, 1e-6f);
    EXPECT_EQ(p.v, 1.0f);
    PositionSpec src;
    src.angle = -90.0f;
    src.hasAngle = true;
    p.apply(src);
    EXPECT_EQ(p.angle, 270.0f);
    EXPECT_NEAR(p.u, 0.1f, 1e-6f);
    PositionSpec empty;
    EXPECT_EQ(empty.getU(), UNSET_VALUE);
    EXPECT_EQ(empty.getSizeV(), UNSET_VALUE);
}

TEST(MobileObject, SetHeadingNormalisesAndSetsVelocity)
{
    mobileObject o;
    o.setHeading(-90.0f);
    EXPECT_EQ(o.heading, 270.0f);
    EXPECT_EQ(o.position.angle, -180.0f);
    o.setHeading(360.0f);
    EXPECT_EQ(o.heading, 0.0f);
    EXPECT_NEAR(o.velocityU, 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(o.velocityV, BULLET_SPEED);
    o.setHeading(90.0f);
    EXPECT_FLOAT_EQ(o.velocityU, BULLET_SPEED);
}

TEST(MobileObject, BoundsAcrossTheSeam)
{
    mobileObject o;
    o.setPosition(0.005f, 1.0f);
    EXPECT_NEAR(o.lowBounds.u, 0.98875f, 1e-6f);
    EXPECT_NEAR(o.highBounds.u, 0.02125f, 1e-6f);
    EXPECT_FALSE(o.boundsOrdered);
    o.position.hasV = false;  // a position that lacks v
    o.position.v = 2.0f;
    o.refresh();
    EXPECT_NEAR(o.lowBounds.v, -10000.0f - BULLET_SIZE, 1e-2f);
    EXPECT_FLOAT_EQ(o.placement.y, 80.0f * 2.0f - 40.0f);  // placed at the stored v
}

namespace {

mobileObject boxAt(float lowU, float highU, float lowV = 0.0f, float highV = 1.0f)
{
    mobileObject o;
    o.lowBounds = PositionSpec::at(lowU, lowV);
    o.highBounds = PositionSpec::at(highU, highV);
    o.boundsOrdered = o.lowBounds.u < o.highBounds.u;
    return o;
}

} // namespace

TEST(MobileObject, OverlapTable)
{
    const mobileObject seam = boxAt(0.98f, 0.02f);
    struct Case { mobileObject other; bool overlaps; const char* what; } cases[] = {
        {boxAt(0.01f, 0.03f), true, "ordered, across the seam's right side"},
        {boxAt(0.97f, 0.99f), true, "ordered, across the seam's left side"},
        {boxAt(0.5f, 0.6f), false, "ordered, far away"},
        {boxAt(0.99f, 0.01f), true, "both across the seam"},
        {boxAt(0.01f, 0.03f, 1.5f, 2.0f), false, "apart along v"},
        {boxAt(0.01f, 0.03f, 1.0f, 2.0f), true, "touching along v"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(shipsOverlap(seam, c.other), c.overlaps) << c.what;
        EXPECT_EQ(shipsOverlap(c.other, seam), c.overlaps) << c.what << " (swapped)";
    }
    mobileObject inactive = boxAt(0.01f, 0.03f);
    inactive.active = false;
    EXPECT_FALSE(shipsOverlap(seam, inactive));
}

TEST(MobileObject, CollideDamageAndDestruction)
{
    gameWorld w{gameWorld::bare_t{}};
    auto* marker = new background_marker(&w, PositionSpec::at(0.5f, 1.0f));
    bullet b(0.0f, &w, PositionSpec::at(0.5f, 1.0f));
    w.addObject(marker);
    collide(b, *marker);
    EXPECT_FLOAT_EQ(marker->pendingDamage, 1.001f);
    EXPECT_EQ(b.pendingDamage, 0.0f);
    EXPECT_TRUE(marker->hasEvent(EVENT_DAMAGED));
    applyPendingDamage(*marker);
    EXPECT_TRUE(isDestroyed(*marker));
    EXPECT_TRUE(marker->hasEvent(EVENT_DESTROYED));
    ASSERT_EQ(w.removedObjects.size(), 1u);
    EXPECT_TRUE(w.objects.empty());

    mobileObject o;
    o.hitPoints = 0.0f;
    EXPECT_TRUE(isDestroyed(o));
    o.hitPoints = 5.0f;
    o.raise(EVENT_DESTROYED);
    EXPECT_TRUE(isDestroyed(o));
}

TEST(MobileObject, SetSizeAndConstructors)
{
    mobileObject o;
    o.setSize(0.0325f, 0.25f);
    EXPECT_FLOAT_EQ(o.halfExtentU, 0.01625f);
    EXPECT_FLOAT_EQ(o.halfExtentV, 0.0040625f);
    EXPECT_NEAR(o.placement.scaleX, 0.6126f, 1e-4f);
    EXPECT_NEAR(o.placement.scaleZ, 0.6126f, 1e-4f);

    bullet b(200.0f, nullptr, PositionSpec::at(0.3f, 1.5f));
    EXPECT_EQ(b.type, TYPE_BULLET);
    EXPECT_FLOAT_EQ(b.heading, 200.0f);
    EXPECT_FLOAT_EQ(b.halfExtentV, BULLET_SIZE * 0.125f);
    EXPECT_FLOAT_EQ(b.position.u, 0.3f);

    background_marker m(nullptr, PositionSpec::at(0.5f, 8.0f));
    EXPECT_EQ(m.type, TYPE_MARKER);
    EXPECT_FALSE(m.active);
    EXPECT_EQ(m.damageFactor, 0.0f);
    EXPECT_EQ(m.minV, -4.0f);
    EXPECT_EQ(m.maxV, 8.0f);
    EXPECT_NEAR(m.velocityV, -1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(m.placement.scaleX, FIGURE_SCALE);
}

TEST(Tube, PlacementBetweenTwoStepsTakesTheShorterTurn)
{
    const Placement from{1, 2, 3, 10, 359, 270, 1, 1, 1};
    const Placement to{3, 6, -1, 20, 1, 629, 2, 3, 5};
    struct Case {
        const char* what;
        float t;
        Placement expected;
    };
    const Case cases[] = {
        {"the start", 0.0f, from},
        {"the end exactly, not a turn away", 1.0f, to},
        // 359 to 1 goes on through 360 (the same as 0), not back through
        // 180; 270 to 629 (269 in the next turn) goes back one degree.
        {"a quarter", 0.25f, {1.5f, 3, 2, 12.5f, 359.5f, 269.75f, 1.25f, 1.5f, 2}},
        {"half", 0.5f, {2, 4, 1, 15, 360, 269.5f, 1.5f, 2, 3}},
        {"below 0 is the start", -0.5f, from},
        {"beyond 1 is the end", 7.0f, to},
    };
    for (const Case& c : cases) {
        const Placement p = placementBetween(from, to, c.t);
        const float got[9] = {p.x, p.y, p.z, p.angle1, p.angle2, p.angle3, p.scaleX, p.scaleY, p.scaleZ};
        const Placement& e = c.expected;
        const float want[9] = {e.x, e.y, e.z, e.angle1, e.angle2, e.angle3, e.scaleX, e.scaleY, e.scaleZ};
        for (int k = 0; k < 9; ++k)
            EXPECT_NEAR(got[k], want[k], 1e-4f) << c.what << ", value " << k;
    }
}
