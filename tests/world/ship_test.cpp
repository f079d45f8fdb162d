// Ships (firing, turns, drifts, hand-overs) and the player ship.
#include "song/timeEventSection.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/sharedConstants.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A bare world with a frame window the test moves by hand.
struct Bare {
    Bare()
    {
        w.section = &section;
        w.formations = new formationManager(&w);
        frame(0, 0);
    }
    void frame(int now, float dtSeconds)
    {
        section.previousFrameMs = w.now;
        w.now = now;
        section.currentFrameMs = now;
        w.dt = dtSeconds;
    }
    // Moves an object by its velocity, as the world's move step does.
    static void move(mobileObject& o, float dt)
    {
        o.position.u += o.velocityU * dt;
        o.position.v += o.velocityV * dt;
        wrapUnit(o.position.u);
        o.refresh();
    }

    timeEventSection section;
    gameWorld w{gameWorld::bare_t{}};
};

ship* shipAt(gameWorld& w, float u, float v, float heading)
{
    auto* s = new ship();
    s->setDefaults(&w);
    s->setPosition(u, v);
    s->setHeading(heading);
    w.addObject(s);
    return s;
}

} // namespace

TEST(Ship, FireHonoursCooldown)
{
    Bare b;
    ship* s = shipAt(b.w, 0.5f, 1.0f, 180.0f);
    b.frame(1000, 0.016f);
    bullet* first = s->fire(125);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(s->fire(125), nullptr);  // same frame
    EXPECT_EQ(first->owner, s);
    EXPECT_EQ(first->side, s->side);
    EXPECT_EQ(s->lastBullet, first);
    EXPECT_TRUE(s->hasEvent(EVENT_FIRED));
    b.frame(1125, 0.125f);
    EXPECT_NE(s->fire(125), nullptr);  // exactly at the next allowed time
    EXPECT_EQ(b.w.objects.size(), 3u);
}

TEST(Ship, FiringZone)
{
    struct Case { float v; bool hasV; float heading; bool inZone; } cases[] = {
        {2.0f, true, 240.0f, true},  {2.001f, true, 200.0f, false}, {1.0f, true, 119.9f, false},
        {0.0f, true, 120.0f, true},  {-0.01f, true, 180.0f, false}, {1.0f, false, 180.0f, false},
    };
    for (auto c : cases) {
        ship s;
        s.setPosition(0.5f, c.v);
        s.position.hasV = c.hasV;
        s.setHeading(c.heading);
        EXPECT_EQ(s.inFiringZone(), c.inZone) << c.v << " " << c.heading;
    }
}

TEST(Ship, TurnRunsAtSpeedOverRadiusAndSnapsToTarget)
{
    Bare b;
    ship* s = shipAt(b.w, 0.5f, 1.0f, 0.0f);
    s->startTurn(true, 0.05f, 90.0f);
    EXPECT_EQ(s->moveMode, 2);
    EXPECT_EQ(s->turnTarget, 90.0f);
    b.w.dt = 0.1f;
    EXPECT_FALSE(s->turnStep());
    EXPECT_NEAR(s->heading, 20.91f, 0.01f);  // 209.1 degrees per second
    EXPECT_TRUE(s->hasEvent(EVENT_STEER_PLUS));
    int frames = 1;
    while (!s->turnStep())
        ++frames;
    EXPECT_EQ(s->heading, 90.0f);  // snapped exactly
    EXPECT_EQ(frames, 5);          // about 0.43 s
}

TEST(Ship, TurnAcrossZeroAndDegenerateTurns)
{
    Bare b;
    ship* s = shipAt(b.w, 0.5f, 1.0f, 350.0f);
    s->startTurn(true, 0.05f, 30.0f);
    EXPECT_NEAR(s->turnTarget, 20.0f, 1e-4f);
    b.w.dt = 0.06f;  // 12.5 degrees a frame
    s->turnStep();
    EXPECT_LT(s->heading, 10.0f);  // passed through 0
    while (!s->turnStep()) {
    }
    EXPECT_NEAR(s->heading, 20.0f, 1e-4f);

    s->startTurn(false, 0.05f, 0.0f);
    EXPECT_TRUE(s->turnStep());  // angle 0: over at once

    s->startTurn(false, 0.0f, 45.0f);
    s->events.clear();
    EXPECT_FALSE(s->turnStep());
    EXPECT_TRUE(s->events.empty());  // radius 0 never turns
    EXPECT_NEAR(s->heading, 20.0f, 1e-4f);

    s->startTurn(false, 0.05f, 45.0f);
    b.w.dt = 0.0f;
    EXPECT_FALSE(s->turnStep());
    EXPECT_NEAR(s->heading, 20.0f, 1e-4f);  // dt 0: no progress
}

TEST(Ship, DriftEndsWhenItsDistanceIsCoveredWhateverTheFrames)
{
    for (float dt : {0.001f, 0.016f, 0.033f, 0.7f, 3.0f}) {
        Bare b;
        ship* s = shipAt(b.w, 0.95f, 1.0f, 60.0f);  // crosses the seam
        s->startDrift(0.2f);
        EXPECT_EQ(s->moveMode, 1);
        float flown = 0.0f;
        int frames = 0;
        do {
            Bare::move(*s, dt);
            flown += s->speed * dt;
            ++frames;
        } while (!s->arrived() && frames < 100000);
        EXPECT_GE(flown, 0.2f - 0.001f) << dt;
        EXPECT_LT(flown - s->speed * dt, 0.2f) << dt;  // not a frame later than needed
    }
}

TEST(Ship, HandOverWindowEnds)
{
    formation from, to;  // outlive the world, as the templates' do
    Bare b;
    from.world = to.world = &b.w;
    ship* s = shipAt(b.w, 0.5f, 1.0f, 180.0f);
    from.addMember(s, true);
    s->nextFormation = &to;
    s->handOverMs = 1000;  // the window's lower end: not yet
    b.frame(1000, 0.016f);
    b.frame(1016, 0.016f);
    s->checkHandOver();
    EXPECT_EQ(s->formation, &from);
    s->handOverMs = 1016;  // the upper end: now
    s->checkHandOver();
    EXPECT_EQ(s->formation, &to);
    EXPECT_EQ(s->nextFormation, nullptr);
    EXPECT_EQ(s->handOverMs, -2);
    EXPECT_EQ(from.memberCount(), 0);
    EXPECT_EQ(to.memberCount(), 1);
}

// The player ship.

namespace {

struct Player : Bare {
    Player() : p(new kestor(&w))
    {
        w.player = p;
        p->extraLifeStep = EXTRA_LIFE_STEP;
        p->lives = 5;
    }
    void request(int kind)
    {
        p->fireRequested = true;
        p->fireKind = kind;
        p->update();
        p->afterShot();
    }
    int shots() const
    {
        int n = 0;
        for (auto* o : w.objects)
            n += o->type == TYPE_BULLET;
        return n;
    }
    kestor* p;
};

} // namespace

TEST(Kestor, ConstructionAndRespawnRise)
{
    Player t;
    EXPECT_EQ(t.w.objects.front(), t.p);
    EXPECT_EQ(t.p->type, TYPE_PLAYER);
    EXPECT_EQ(t.p->side, 1);
    EXPECT_FALSE(t.p->active);
    EXPECT_TRUE(t.p->respawning);
    EXPECT_FLOAT_EQ(t.p->halfExtentV, PLAYER_HALF_EXTENT_V);
    t.p->movePlusU();
    EXPECT_EQ(t.p->velocityU, 0.0f);  // below the rim: no sideways move
    int now = 0;
    for (int i = 0; i < 70; ++i) {  // about 1.1 s of rising
        now += 16;
        t.frame(now, 0.016f);
        Bare::move(*t.p, 0.016f);
        t.p->update();
    }
    EXPECT_EQ(t.p->position.v, 0.0f);
    t.p->movePlusU();
    EXPECT_EQ(t.p->velocityU, PLAYER_SIDE_SPEED);
    EXPECT_TRUE(t.p->respawning);  // protected for 6 s
    t.frame(6001, 0.016f);
    t.p->update();
    EXPECT_FALSE(t.p->respawning);
    EXPECT_TRUE(t.p->active);
    EXPECT_EQ(t.p->velocityU, 0.0f);  // steering lasts one frame
}

TEST(Kestor, HeldFireWaitsThenRepeatsAndEveryTapRestartsTheWait)
{
    Player t;
    t.frame(1000, 0.016f);
    t.request(1);  // held from the first frame: arms the wait
    EXPECT_EQ(t.p->holdUntilMs, 1250);
    t.frame(1250, 0.016f);
    t.request(1);
    EXPECT_FALSE(t.p->repeatFire);
    t.frame(1266, 0.016f);
    t.request(1);  // sets repeat fire, no shot
    EXPECT_TRUE(t.p->repeatFire);
    EXPECT_EQ(t.shots(), 0);
    t.frame(1282, 0.016f);
    t.request(1);
    EXPECT_EQ(t.shots(), 1);
    t.frame(1400, 0.016f);
    t.request(1);  // within 250 ms
    EXPECT_EQ(t.shots(), 1);
    t.frame(1532, 0.016f);
    t.request(1);
    EXPECT_EQ(t.shots(), 2);

    // A tap ends repeat fire; holding again waits the full delay again.
    t.frame(2000, 0.016f);
    t.request(0);
    EXPECT_EQ(t.shots(), 3);
    EXPECT_FALSE(t.p->repeatFire);
    EXPECT_EQ(t.p->holdUntilMs, -2);
    t.frame(2016, 0.016f);
    t.request(1);
    EXPECT_EQ(t.p->holdUntilMs, 2266);

    // A tap while the wait is armed (but repeat not yet on) restarts it too.
    t.frame(2100, 0.016f);
    t.request(0);
    EXPECT_EQ(t.p->holdUntilMs, -2);
    t.frame(2400, 0.016f);
    t.request(1);
    t.frame(2416, 0.016f);
    t.request(1);
    EXPECT_FALSE(t.p->repeatFire);  // no stale timer turns it on at once
}

TEST(Kestor, ExtraLivesOnePerFrameAndNoDivisionByZero)
{
    Player t;
    t.p->scoreValue = 19999;
    t.p->update();
    EXPECT_EQ(t.p->lives, 5);
    t.p->scoreValue = 20000;
    t.p->update();
    EXPECT_EQ(t.p->lives, 6);
    EXPECT_TRUE(t.p->hasEvent(EVENT_EXTRA_LIFE));
    t.p->scoreValue = 61000;  // jumps past two more steps
    t.p->update();
    EXPECT_EQ(t.p->lives, 7);
    t.p->update();
    EXPECT_EQ(t.p->lives, 8);
    t.p->update();
    EXPECT_EQ(t.p->lives, 8);

    t.p->extraLifeStep = 0;
    t.p->update();  // must not divide by zero
    EXPECT_EQ(t.p->lives, 8);
}

TEST(Kestor, LostLifePausesFireAndProtects)
{
    Player t;
    t.p->respawning = false;
    t.p->active = true;
    t.frame(10000, 0.016f);
    t.p->hitPoints = 0.0f;
    t.p->destroyed();
    EXPECT_EQ(t.p->lives, 4);
    EXPECT_TRUE(t.p->respawning);
    EXPECT_FALSE(t.p->active);
    EXPECT_EQ(t.p->hitPoints, 1.0f);
    EXPECT_EQ(t.p->nextFireMs, 12000);
    EXPECT_EQ(t.p->invulnerableUntil, 16000);
    t.p->destroyed();  // while respawning: nothing
    EXPECT_EQ(t.p->lives, 4);
    t.frame(11999, 0.016f);
    t.request(0);
    EXPECT_EQ(t.shots(), 0);
    t.frame(12000, 0.016f);
    t.request(0);
    EXPECT_EQ(t.shots(), 1);
}

TEST(Kestor, AcceptsHitsOnlyFromObjectsComingTowardIt)
{
    Player t;
    struct Case { float heading; float v; bool hits; } cases[] = {
        {90.0f, 0.1f, false}, {270.0f, 0.1f, false}, {91.0f, 0.1f, true},
        {269.0f, 0.1f, true}, {180.0f, -0.01f, false}, {180.0f, 0.0f, true},
    };
    for (auto c : cases) {
        mobileObject o;
        o.setPosition(0.5f, c.v);
        o.setHeading(c.heading);
        EXPECT_EQ(t.p->acceptsHitFrom(o), c.hits) << c.heading << " " << c.v;
    }
    t.p->startFlyOut();
    mobileObject o;
    o.setPosition(0.5f, 0.1f);
    o.setHeading(180.0f);
    EXPECT_FALSE(t.p->acceptsHitFrom(o));
    t.p->respawning = true;
    t.p->invulnerableUntil = 0;
    t.frame(100, 0.016f);
    t.p->update();
    EXPECT_FALSE(t.p->active);  // the end of its protection does not expose it
    t.p->hitPoints = -1.0f;
    t.p->destroyed();
    EXPECT_EQ(t.p->lives, 5);
}

TEST(Kestor, PowerShotAndSideVolley)
{
    Player t;
    t.frame(1000, 0.016f);
    t.p->powerMode = true;
    t.p->volleyMode = true;
    t.request(0);
    EXPECT_EQ(std::count(t.p->events.begin(), t.p->events.end(), EVENT_POWER_SHOT), 2);
    ASSERT_EQ(t.shots(), 3);
    float headings[3];
    int i = 0;
    for (auto* o : t.w.objects) {
        if (o->type != TYPE_BULLET)
            continue;
        EXPECT_FLOAT_EQ(o->damageFactor, BIG_BULLET_DAMAGE);
        EXPECT_FLOAT_EQ(o->size, BIG_BULLET_SIZE);
        EXPECT_EQ(o->side, 1);
        EXPECT_EQ(o->owner, t.p);
        headings[i++] = o->heading;
    }
    EXPECT_FLOAT_EQ(headings[0], 0.0f);
    EXPECT_FLOAT_EQ(headings[1], 330.0f);
    EXPECT_FLOAT_EQ(headings[2], 30.0f);

    // A shot refused by the cooldown adds no volley.
    t.p->events.clear();
    t.request(0);
    EXPECT_EQ(t.p->lastBullet, nullptr);
    EXPECT_EQ(t.shots(), 3);
}
