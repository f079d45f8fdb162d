// Formations, their join queue and the formation manager.
#include "song/timeEventSection.h"
#include "world/formation.h"
#include "world/gameWorld.h"
#include "world/levelDirector.h"
#include "world/ship.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    Fixture()
    {
        w.section = &section;
        w.formations = new formationManager(&w);
        a.world = b.world = &w;
        initMovementSteps();
    }
    void frame(int now, float dt = 0.016f)
    {
        section.previousFrameMs = w.now;
        w.now = section.currentFrameMs = now;
        w.dt = dt;
    }
    ship* newShip(float u = 0.5f)
    {
        auto* s = new ship();
        s->setDefaults(&w);
        s->setPosition(u, 1.0f);
        s->setHeading(0.0f);
        return s;
    }
    std::vector<formation*>& listed() { return w.formations->formations; }

    // The formations outlive the world, as the wave templates' do.
    timeEventSection section;
    formation a, b;
    gameWorld w{gameWorld::bare_t{}};
};

} // namespace

TEST(Formation, QueuedShipsJoinInOrderWhenDue)
{
    Fixture f;
    ship* s1 = f.newShip();
    ship* s2 = f.newShip();
    ship* s3 = f.newShip();
    f.a.addMember(s1, false);
    f.a.queueShip(s2, 500);
    f.a.queueShip(s3, 500);
    f.frame(499);
    f.a.update();
    EXPECT_EQ(f.a.memberCount(), 1);
    f.frame(520);
    f.a.update();
    ASSERT_EQ(f.a.memberCount(), 3);
    EXPECT_EQ(f.a.members[1].member, s2);
    EXPECT_EQ(f.a.members[2].member, s3);
    EXPECT_EQ(f.w.objects.size(), 3u);
    EXPECT_TRUE(s3->hasEvent(EVENT_ADDED));
}

TEST(Formation, RemovalKeepsTheOtherMembersState)
{
    Fixture f;
    ship* s[3];
    for (auto& x : s) {
        x = f.newShip();
        f.a.addMember(x, false);
    }
    f.a.members[2].stepIndex = 4;
    f.a.members[2].scriptIndex = 1;
    f.a.members[2].finished = false;
    f.a.removeMember(s[1]);
    ASSERT_EQ(f.a.memberCount(), 2);
    EXPECT_EQ(f.a.members[1].member, s[2]);
    EXPECT_EQ(f.a.members[1].stepIndex, 4);
    EXPECT_EQ(f.a.members[1].scriptIndex, 1);
    EXPECT_FALSE(f.a.members[1].finished);
    EXPECT_EQ(s[1]->formation, nullptr);
    f.a.removeMember(s[1]);  // not a member: nothing
    EXPECT_EQ(f.a.memberCount(), 2);
}

TEST(Formation, ListedWhileItHasMembersOrWaitingShips)
{
    Fixture f;
    ship* s1 = f.newShip();
    ship* s2 = f.newShip();
    f.b.addMember(f.newShip(), false);
    f.a.addMember(s1, false);
    EXPECT_EQ(f.listed(), (std::vector<formation*>{&f.b, &f.a}));
    f.a.removeMember(s1);
    EXPECT_EQ(f.listed(), (std::vector<formation*>{&f.b}));
    f.a.addMember(s1, true);
    EXPECT_EQ(f.listed(), (std::vector<formation*>{&f.b, &f.a}));  // back at the end

    // The last member leaves while a ship still waits: the formation stays
    // listed and takes the ship in on time.
    f.a.queueShip(s2, 1000);
    f.a.removeMember(s1);
    EXPECT_EQ(f.listed(), (std::vector<formation*>{&f.b, &f.a}));
    f.frame(1000);
    f.w.formations->update();
    EXPECT_EQ(s2->formation, &f.a);
    EXPECT_EQ(f.a.memberCount(), 1);
}

TEST(Formation, StorageGrowsBeyondSixtyFour)
{
    Fixture f;
    std::vector<ship*> ships;
    for (int i = 0; i < 100; ++i) {
        ships.push_back(f.newShip());
        f.a.addMember(ships.back(), false);
    }
    for (int i = 0; i < 80; ++i)
        f.a.queueShip(f.newShip(), 5000);
    EXPECT_EQ(f.a.memberCount(), 100);
    EXPECT_EQ(f.a.pendingCount(), 80);
    f.a.removeMember(ships[99]);
    EXPECT_EQ(f.a.memberCount(), 99);
    EXPECT_EQ(ships[99]->formation, nullptr);
    // The 80 queued ships are deleted with the formation's reset (leak check).
    f.a.reset();
    EXPECT_EQ(f.a.pendingCount(), 0);
}

TEST(Formation, MembersStepTheirScriptsAndWaitForTheActionNote)
{
    Fixture f;
    f.a.addScript(&stepScript3);   // one turn to falling heading
    f.a.addScript(&stepScript4);   // one turn to growing heading
    ship* s = f.newShip();
    f.a.addMember(s, false);
    EXPECT_FALSE(f.a.members[0].finished);
    f.frame(16, 0.016f);
    f.a.update();
    EXPECT_EQ(s->moveMode, 2);  // first step started at once
    EXPECT_NEAR(s->turnTarget, 270.0f, 1e-4f);
    int now = 16;
    for (int i = 0; i < 60; ++i) {  // the turn is over well within a second
        now += 16;
        f.frame(now);
        f.a.update();
    }
    EXPECT_EQ(s->heading, 270.0f);
    EXPECT_TRUE(f.a.members[0].finished);  // waits for its action note

    // An action note moves it on to the next script at once.
    OccurrenceIndex notes{{now + 10, 1}};
    s->actionQuery = &notes;
    now += 16;
    f.frame(now);
    f.a.update();
    EXPECT_EQ(f.a.members[0].scriptIndex, 1);
    EXPECT_NEAR(s->turnTarget, 0.0f, 1e-4f);
}

TEST(Formation, MemberWithoutScriptsIsFinishedFromTheStart)
{
    Fixture f;
    ship* s = f.newShip();
    f.a.addMember(s, false);
    EXPECT_TRUE(f.a.members[0].finished);
    f.frame(16);
    f.a.update();
    EXPECT_EQ(s->moveMode, 0);
}

TEST(FormationManager, HandOverPassSkipsNoFormation)
{
    // Formation a's only member moves to b; c's member is due at the same
    // time and must be handed over in the same pass although a leaves the
    // list in front of it.
    formation c;
    Fixture f;
    c.world = &f.w;
    ship* fromA = f.newShip();
    ship* fromC = f.newShip();
    f.a.addMember(fromA, false);
    c.addMember(fromC, false);
    fromA->nextFormation = &f.b;
    fromC->nextFormation = &f.b;
    fromA->handOverMs = fromC->handOverMs = 1000;
    f.frame(990);
    f.frame(1000);
    f.w.formations->update();
    EXPECT_EQ(fromA->formation, &f.b);
    EXPECT_EQ(fromC->formation, &f.b);
    EXPECT_EQ(f.listed(), (std::vector<formation*>{&f.b}));
}

TEST(FormationManager, FindCollidingReturnsTheFirstOverlappingMember)
{
    Fixture f;
    ship* s1 = f.newShip(0.2f);
    ship* s2 = f.newShip(0.5f);
    ship* s3 = f.newShip(0.5f);
    f.a.addMember(s1, false);
    f.a.addMember(s2, false);
    f.b.addMember(s3, false);
    bullet shot(0.0f, &f.w, PositionSpec::at(0.5f, 1.0f));
    EXPECT_EQ(f.w.formations->findColliding(shot), s2);
    s2->active = false;
    EXPECT_EQ(f.w.formations->findColliding(shot), s3);
    shot.setPosition(0.8f, 1.0f);
    EXPECT_EQ(f.w.formations->findColliding(shot), nullptr);
}
