// The game world: construction, clock, phases, the move step and its ends.
#include "worldHarness.h"

#include <gtest/gtest.h>

#include "song/timeEventSection.h"
#include "world/enemyShips.h"
#include "world/sharedConstants.h"

using harness::Game;

TEST(GameWorld, ConstructionEndsReadyWithThePlayerFirst)
{
    Game g;
    gameWorld& w = *g.world;
    EXPECT_EQ(w.phase, PHASE_READY);
    ASSERT_EQ(w.objects.size(), 1u);
    EXPECT_EQ(w.objects.front(), w.player);
    EXPECT_EQ(w.player->lives, 5);
    EXPECT_EQ(w.player->extraLifeStep, 20000);
    EXPECT_FALSE(w.player->active);
    EXPECT_EQ(w.player->position.v, -0.05f);
    EXPECT_EQ(w.section->getDuration(), 391199);
    EXPECT_EQ(w.player->invulnerableUntil, -2 + 6000);
}

TEST(GameWorld, FirstUpdateOnlyStartsPlay)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    EXPECT_EQ(w.phase, PHASE_PLAYING);
    EXPECT_EQ(w.now, 16);
    EXPECT_EQ(w.section->previousFrameMs, -3);
    EXPECT_EQ(w.section->currentFrameMs, 16);
    EXPECT_EQ(w.player->position.v, -0.05f);  // nothing moved
    g.frame(16);
    EXPECT_FLOAT_EQ(w.dt, 0.016f);
    g.frame(16);  // the rise set in the previous step moves it now
    EXPECT_GT(w.player->position.v, -0.05f);
}

TEST(GameWorld, MusicPositionMinusTwoResetsSongTime)
{
    Game g;
    g.frame(16);
    g.world->update(-2);
    EXPECT_EQ(g.world->now, -2);
    EXPECT_EQ(g.world->dt, 0.0f);
}

TEST(GameWorld, EndOfGameRules)
{
    {
        Game g;  // no lives and song over in the same frame: lost, no bonus
        g.frame(16);
        g.world->player->lives = 0;
        g.jump(400000);
        g.frame(16);
        EXPECT_EQ(g.world->phase, PHASE_LOST);
        EXPECT_EQ(g.world->player->scoreValue, 0);
    }
    {
        Game g;  // won with 3 lives: 60,000 points
        g.frame(16);
        g.world->player->lives = 3;
        g.world->player->scoreValue = 1234;
        g.jump(391184);
        g.frame(16);  // 391,200: past the end of the score
        EXPECT_EQ(g.world->phase, PHASE_WON);
        EXPECT_EQ(g.world->player->scoreValue, 1234 + 60000);
        g.frame(16);  // the world keeps its clock but does nothing
        EXPECT_EQ(g.world->player->scoreValue, 1234 + 60000);
    }
}

TEST(GameWorld, CulledObjectNeverGetsItsPendingDamageOrCredit)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    auto* far = new asteroidShip(0.0f, &w, PositionSpec::at(0.2f, 3.999f));
    w.addObject(far);
    far->pendingDamage = 100.0f;
    auto* lost = new bullet(0.0f, &w, PositionSpec::at(0.3f, 1.0f));
    lost->position.hasV = false;  // culled in its first pass
    w.addObject(lost);
    g.frame(16);
    EXPECT_EQ(w.removedObjects.size(), 2u);
    EXPECT_FALSE(isDestroyed(*far));
    EXPECT_EQ(w.player->scoreValue, 0);
}

TEST(GameWorld, DestroyedEnemyCreditsOnceAndLeavesItsFormationAtOnce)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    g.jump(1000);
    blockerWave.spawn(1);
    ship* blocker = blockerWave.entryFormation.members[0].member;
    blocker->pendingDamage = 100.0f;
    g.frame(16);
    EXPECT_EQ(w.player->scoreValue, 500);
    EXPECT_EQ(blocker->formation, nullptr);
    EXPECT_EQ(blockerWave.entryFormation.memberCount(), 0);
    // A shot at the same spot in the same frame finds nothing to hit.
    bullet shot(0.0f, &w, blocker->position);
    EXPECT_EQ(w.formations->findColliding(shot), nullptr);
    g.frame(16);
    EXPECT_EQ(w.player->scoreValue, 500);
}

TEST(GameWorld, EnemyShotsLandOnTheNextFrame)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    kestor& p = *w.player;
    p.respawning = false;
    p.active = true;
    p.setPosition(0.5f, 0.0f);
    for (int i = 0; i < 2; ++i) {
        auto* b = new bullet(180.0f, &w, PositionSpec::at(0.5f, 0.001f));
        w.addObject(b);
    }
    g.frame(16);
    EXPECT_FLOAT_EQ(p.pendingDamage, 2.002f);  // both after the player's turn
    EXPECT_EQ(p.lives, 5);
    g.frame(16);
    EXPECT_EQ(p.lives, 4);
    EXPECT_TRUE(p.respawning);
}

TEST(GameWorld, FlyOutStopsAtNineTenthsWhateverTheFrameLength)
{
    // 1,500-ms frames overshoot the stop line by far.
    for (int step : {16, 1500}) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        tentheadKills = 2;
        g.jump(382990);
        int frames = 0;
        while (!g.over() && frames++ < 10000) {
            g.frame(step);
            tentheadKills = 2;
            ASSERT_EQ(harness::checkInvariants(w), "") << step;
        }
        EXPECT_EQ(w.phase, PHASE_WON) << step;
        EXPECT_FLOAT_EQ(w.player->position.v, TUBE_FAR_END * EXIT_STOP_FRACTION) << step;
        EXPECT_FALSE(w.player->active);
        EXPECT_EQ(w.player->speed, 0.0f);
    }
}
