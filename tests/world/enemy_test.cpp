// Enemy ship types, the boss, wave templates and the level director.
#include "platform/clock.h"
#include "song/songScore.h"
#include "song/timeEventSection.h"
#include "world/enemyShips.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/levelDirector.h"
#include "world/sharedConstants.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Bare {
    Bare()
    {
        w.section = &section;
        w.formations = new formationManager(&w);
        w.player = new kestor(&w);
    }
    void frame(int now)
    {
        section.previousFrameMs = w.now;
        w.now = section.currentFrameMs = now;
    }
    timeEventSection section;
    gameWorld w{gameWorld::bare_t{}};
};

template <class T>
T* make(Bare& b, float heading, float u, float v)
{
    auto* s = new T(heading, &b.w, PositionSpec::at(u, v));
    b.w.addObject(s);
    return s;
}

std::vector<float> bulletUs(const gameWorld& w)
{
    std::vector<float> us;
    for (auto* o : w.objects)
        if (o->type == TYPE_BULLET)
            us.push_back(o->position.u);
    return us;
}

} // namespace

TEST(EnemyShips, TuningTable)
{
    struct Row { ship* s; int type, value; float hp, size, hu, hv, speed; };
    asteroidShip a(180, nullptr, PositionSpec::at(0.5f, 2.0f));
    beeShip be(180, nullptr, {});
    blockerShip bl(180, nullptr, {});
    dragonflyShip d(180, nullptr, {});
    flowerShip fl(180, nullptr, {});
    mosquitoShip m(180, nullptr, {});
    scorpionShip sc(180, nullptr, {});
    snakeShip sn(180, nullptr, {});
    spikeShip sp(180, nullptr, {});
    tentacleShip te(180, nullptr, {});
    tentheadShip th(180, nullptr, {});
    Row rows[] = {
        {&a, 2, 50, 5, 0.0975f, 0.04875f, 0.04875f, 0.1825f},
        {&be, 5, 500, 2, 0.065f, 0.0325f, 0.0325f, 0.27375f},
        {&bl, 6, 500, 8, 0.0455f, 0.02275f, 0.02275f, 0.09125f},
        {&d, 12, 2000, 20, 0.0325f, 0.01625f, 0.01625f, 0.1825f},
        {&fl, 13, 800, 12, 0.04875f, 0.024375f, 0.024375f, 0.09125f},
        {&m, 17, 100, 2, 0.0325f, 0.01625f, 0.01625f, 0.1825f},
        {&sc, 21, 500, 12, 0.0975f, 0.04875f, 0.04875f, 0.27375f},
        {&sn, 23, 250, 1, 0.0325f, 0.01625f, 0.01625f, 0.228125f},
        {&sp, 24, 500, 2, 0.024375f, 0.0121875f, 0.0121875f, 0.5f},
        {&te, 25, 1000, 15, 0.0975f, 0.04875f, 0.04875f, 0.0f},
        {&th, 26, 8, 99999, 0.325f, 0.499f, 0.1625f, 0.73f},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.s->type, r.type);
        EXPECT_EQ(r.s->scoreValue, r.value) << r.type;
        EXPECT_EQ(r.s->hitPoints, r.hp) << r.type;
        EXPECT_EQ(r.s->size, r.size) << r.type;
        EXPECT_EQ(r.s->halfExtentU, r.hu) << r.type;
        EXPECT_EQ(r.s->halfExtentV, r.hv) << r.type;
        EXPECT_EQ(r.s->speed, r.speed) << r.type;
        EXPECT_NEAR(r.s->velocityV, -r.speed, 1e-6f) << r.type;
        EXPECT_EQ(r.s->side, 0);
    }
    EXPECT_FALSE(th.active);
    EXPECT_TRUE(th.useOwnRadius);
    EXPECT_EQ(th.radius, 0.0f);
    EXPECT_EQ(a.position.u, 0.5f);
    beeShip up(0, nullptr, {});
    EXPECT_NEAR(up.velocityV, 0.27375f, 1e-6f);
}

TEST(EnemyShips, TentaclesShieldTheirHead)
{
    Bare b;
    b.frame(5000);
    auto* head = make<tentheadShip>(b, 180.0f, 0.5f, 0.5f);
    head->nextFireMs = 999999;
    tentheadKills = 0;
    std::vector<tentacleShip*> tentacles;
    for (int i = 0; i < 8; ++i) {
        tentacles.push_back(make<tentacleShip>(b, 180.0f, 0.0625f + 0.125f * i, 0.5f));
        tentacles.back()->owner = head;
    }
    for (int i = 0; i < 6; ++i) {
        tentacles[i]->raise(EVENT_DESTROYED);
        tentacles[i]->destroyed();
    }
    EXPECT_EQ(head->scoreValue, 2);
    EXPECT_EQ(head->nextFireMs, 5000);  // may fire at once
    EXPECT_FALSE(head->active);
    tentacles[6]->raise(EVENT_DESTROYED);
    tentacles[6]->destroyed();
    tentacles[7]->raise(EVENT_DESTROYED);
    tentacles[7]->destroyed();
    EXPECT_TRUE(head->active);
    EXPECT_EQ(head->hitPoints, 50.0f);
    EXPECT_EQ(head->scoreValue, 8000);
    EXPECT_EQ(b.w.player->scoreValue, 8 * 1000);
    head->hitPoints = 0.0f;
    head->destroyed();
    EXPECT_EQ(b.w.player->scoreValue, 16000);
    EXPECT_EQ(tentheadKills, 1);
}

TEST(EnemyShips, TentacleFiresBigShotsAndEverySecondIsAPowerShot)
{
    Bare b;
    auto* t = make<tentacleShip>(b, 180.0f, 0.25f, 0.5f);
    // Song times of both parities, and a refused shot in between: the shot's
    // own number decides, never the millisecond.
    struct Shot {
        int now;
        bool fires;
        bool power;
    };
    const Shot shots[] = {{1001, true, false}, {1002, false, false}, {3002, true, true},
                          {5003, true, false}, {7005, true, true},   {9010, true, false}};
    for (const Shot& s : shots) {
        t->events.clear();
        b.frame(s.now);
        bullet* shot = t->fire(2000);
        ASSERT_EQ(shot != nullptr, s.fires) << s.now;
        EXPECT_EQ(t->hasEvent(EVENT_FIRED), s.fires) << s.now;
        EXPECT_EQ(t->hasEvent(EVENT_POWER_SHOT), s.power) << s.now;
        if (shot) {
            EXPECT_FLOAT_EQ(shot->size, 0.065f);
            EXPECT_FLOAT_EQ(shot->halfExtentV, 0.065f * 0.125f);
        }
    }
}

TEST(EnemyShips, HeadFiresFourShotsAQuarterTurnApartEverySecondVolleyTurnedAnEighth)
{
    Bare b;
    auto* head = make<tentheadShip>(b, 180.0f, 0.9f, 0.5f);
    const std::vector<float> straight = {0.9f, 0.15f, 0.4f, 0.65f};
    const std::vector<float> turned = {0.025f, 0.275f, 0.525f, 0.775f};
    struct Volley {
        int now;
        const std::vector<float>* us;
    };
    const Volley volleys[] = {{1001, &straight}, {1502, &turned}, {2004, &straight}, {2505, &turned}};
    for (const Volley& v : volleys) {
        deleteObjects(b.w.removedObjects);
        for (mobileObject* o : std::vector<mobileObject*>(b.w.objects))
            if (o->type == TYPE_BULLET)
                b.w.removeObject(o);
        head->events.clear();
        b.frame(v.now);
        ASSERT_NE(head->fire(500), nullptr) << v.now;
        const std::vector<float> us = bulletUs(b.w);
        ASSERT_EQ(us.size(), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(us[i], (*v.us)[i], 1e-5f) << v.now;
        EXPECT_EQ(std::count(head->events.begin(), head->events.end(), EVENT_FIRED), 1);
        EXPECT_FALSE(head->hasEvent(EVENT_POWER_SHOT));
    }
}

TEST(EnemyShips, TentacleOfARemovedHeadForgetsItWhenItIsDeleted)
{
    plat::ManualClock clock(0);
    Bare b;
    b.w.phase = PHASE_PLAYING;
    auto* head = make<tentheadShip>(b, 180.0f, 0.5f, 3.99f);
    auto* t = make<tentacleShip>(b, 180.0f, 0.25f, 3.99f);
    t->owner = head;
    b.w.removeObject(head);  // leaves the tube
    followOwner(*t);         // the head is still readable this frame
    EXPECT_EQ(t->position.v, 3.99f);
    b.w.update(0);           // deletes the head
    EXPECT_EQ(t->owner, nullptr);
    followOwner(*t);  // and reads nothing
    t->raise(EVENT_DESTROYED);
    t->destroyed();
    EXPECT_EQ(b.w.removedObjects.size(), 1u);
}

// The wave templates and the level director on a whole world.

namespace {

struct Game {
    Game() : clock(1000), world(new gameWorld()) {}
    plat::ManualClock clock;
    std::unique_ptr<gameWorld> world;
};

} // namespace

TEST(WaveTemplates, HandOverDelays)
{
    Game g;
    struct Row { const char* name; int delay; } rows[] = {
        {"asteroids", asteroidWave.handOverDelayMs}, {"mosquitoes", mosquitoWave.handOverDelayMs},
        {"flowers", flowerWave.handOverDelayMs},     {"spikes", spikeWave.handOverDelayMs},
        {"blockers", blockerWave.handOverDelayMs},   {"dragonflies", dragonflyWave.handOverDelayMs},
        {"bees", beeWave.handOverDelayMs},           {"scorpions", scorpionWave.handOverDelayMs},
        {"snakes A", snakeWaveA.handOverDelayMs},    {"snakes B", snakeWaveB.handOverDelayMs},
        {"head A", tentheadWaveA.handOverDelayMs},   {"head B", tentheadWaveB.handOverDelayMs},
        {"tentacles A", tentacleWaveA.handOverDelayMs}, {"tentacles B", tentacleWaveB.handOverDelayMs},
    };
    const int expected[] = {21170, 2135, 5102, 7999, 32751, 9490, 1643, 1643, 7592, 7592, 4794, 4931, 0, 0};
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].delay, expected[i]) << rows[i].name;
    EXPECT_EQ(tentacleWaveA.prototype.fireOffsetMs, 2739);
    EXPECT_EQ(tentacleWaveB.prototype.fireOffsetMs, 2191);
    EXPECT_EQ(tentheadWaveB.prototype.nextFireMs, 360000);
    EXPECT_EQ(tentheadWaveB.prototype.hitPoints, 199998.0f);
    EXPECT_FLOAT_EQ(flowerWave.prototype.speed, 0.73f);
}

TEST(WaveTemplates, AsteroidWaveSpreadsAndQueues)
{
    Game g;
    g.world->now = 2000;
    const size_t before = g.world->objects.size();
    asteroidWave.spawn(3);
    EXPECT_EQ(g.world->objects.size(), before + 1);
    formation& entry = asteroidWave.entryFormation;
    ASSERT_EQ(entry.memberCount(), 1);
    ASSERT_EQ(entry.pendingCount(), 2);
    EXPECT_NEAR(entry.members[0].member->position.u, 0.5f, 1e-5f);
    EXPECT_NEAR(entry.pendingShips[0].member->position.u, 0.8333f, 1e-5f);
    EXPECT_NEAR(entry.pendingShips[1].member->position.u, 0.1666f, 1e-5f);
    EXPECT_EQ(entry.pendingShips[0].joinMs, 2500);
    EXPECT_EQ(entry.pendingShips[1].joinMs, 3000);
    EXPECT_EQ(entry.pendingShips[1].member->noteShiftMs, -1000);
    EXPECT_NEAR(asteroidWave.spawnPoint.u, 0.66655f, 1e-5f);
}

TEST(WaveTemplates, MosquitoWaveIsHandedOverOnTime)
{
    Game g;
    g.world->now = 1000;
    mosquitoWave.spawn(8);
    formation& entry = mosquitoWave.entryFormation;
    ship* first = entry.members[0].member;
    EXPECT_EQ(first->handOverMs, 1000 + 2135);
    EXPECT_EQ(first->nextFormation, &mosquitoWave.handOverFormation);
    ASSERT_EQ(entry.pendingCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(entry.pendingShips[i].joinMs, 1000 + 250 * (i + 1));
        EXPECT_EQ(entry.pendingShips[i].member->handOverMs, 1000 + 250 * (i + 1) + 2135);
        EXPECT_NEAR(entry.pendingShips[i].member->position.v, -0.05f, 1e-6f);
    }
}

TEST(WaveTemplates, HeadBringsItsTentacles)
{
    Game g;
    g.world->now = 1000;
    tentheadWaveA.spawn(1);
    ASSERT_EQ(tentheadWaveA.entryFormation.memberCount(), 1);
    ship* head = tentheadWaveA.entryFormation.members[0].member;
    formation& tentacles = tentacleWaveA.entryFormation;
    ASSERT_EQ(tentacles.memberCount(), 1);
    ASSERT_EQ(tentacles.pendingCount(), 7);
    EXPECT_EQ(tentacles.members[0].member->owner, head);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(tentacles.pendingShips[i].member->owner, head);
        EXPECT_EQ(tentacles.pendingShips[i].joinMs, 2000 + 1000 * i);
        EXPECT_NEAR(tentacles.pendingShips[i].member->position.u, 0.0625f + 0.125f * (i + 1), 1e-5f);
    }
    EXPECT_EQ(head->nextFireMs, 999999);
    EXPECT_EQ(head->scoreValue, 8);
}

TEST(LevelDirector, SecondGameStartsClean)
{
    PositionSpec spawn;
    int delay = 0;
    {
        Game first;
        spawn = asteroidWave.spawnPoint;
        delay = asteroidWave.handOverDelayMs;
        first.world->now = 1000;
        asteroidWave.spawn(3);   // leaves two ships queued
        tentheadWaveA.spawn(1);  // and seven tentacles
        tentheadKills = 3;
    }  // the world ends with ships still waiting: they are deleted (leak check)
    EXPECT_EQ(asteroidWave.entryFormation.pendingCount(), 0);
    EXPECT_EQ(tentacleWaveA.entryFormation.pendingCount(), 0);
    Game second;
    EXPECT_EQ(tentheadKills, 0);
    EXPECT_EQ(asteroidWave.spawnPoint.u, spawn.u);
    EXPECT_EQ(asteroidWave.handOverDelayMs, delay);
    EXPECT_EQ(asteroidWave.entryFormation.memberCount(), 0);
    EXPECT_TRUE(second.world->formations->formations.empty());
    EXPECT_EQ(second.world->objects.size(), 1u);
    EXPECT_EQ(stepScript200200.count, 6);
    EXPECT_EQ(stepScript200200.steps[1], &FORMATION_STEPS[0]);
}

TEST(LevelDirector, MarkersAndPlayerModes)
{
    Game g;
    gameWorld& w = *g.world;
    const size_t before = w.objects.size();
    addBackgroundMarkers(&w);
    ASSERT_EQ(w.objects.size(), before + 2);
    mobileObject* first = w.objects[before];
    mobileObject* second = w.objects[before + 1];
    EXPECT_EQ(first->type, TYPE_MARKER);
    EXPECT_EQ(first->heading, 180.0f);
    EXPECT_EQ(first->position.v, 8.0f);
    EXPECT_EQ(second->type, TYPE_MARKER_2);
    EXPECT_EQ(second->heading, 178.0f);
    w.markersEnabled = false;
    addBackgroundMarkers(&w);
    EXPECT_EQ(w.objects.size(), before + 2);

    // Judges have no windows yet: no run, both modes off.
    w.player->powerMode = w.player->volleyMode = true;
    updatePlayerModes(&w);
    EXPECT_FALSE(w.player->powerMode);
    EXPECT_FALSE(w.player->volleyMode);
}
