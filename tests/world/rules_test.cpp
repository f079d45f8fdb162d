// World rules as tables: the player's power and volley modes from the rhythm
// judges, which rule of the spawn schedule fires on which occurrence, enemy
// fire on its notes, the tentacle heads' moves and ship-against-player
// contact.
#include "worldHarness.h"

#include <gtest/gtest.h>

#include "song/songScore.h"
#include "song/timeEventSection.h"
#include "world/enemyShips.h"
#include "world/sharedConstants.h"

#include <climits>
#include <functional>
#include <string>
#include <vector>

using harness::Game;

// --- The player's modes ----------------------------------------------------

namespace {

enum class Judge { idle, running, perfect, twoHits, resetting };

// Puts judge j in a state that its next update keeps (or, for resetting,
// turns into a reset): no pattern, so no window opens or closes by itself.
void setJudge(rhythm& j, Judge s, int now)
{
    j.pattern = nullptr;
    j.running = s != Judge::idle;
    j.windowOpen = s == Judge::perfect || s == Judge::twoHits;
    j.hitsInWindow = s == Judge::perfect ? 1 : s == Judge::twoHits ? 2 : 0;
    j.windowStart = -2;
    j.windowEnd = s == Judge::resetting ? now : -2;  // a window missed once too often
    j.missedChecks = s == Judge::resetting ? j.maxMissedChecks : 0;
    j.strayShots = 0;
}

} // namespace

TEST(PlayerModes, FromTheJudgesAfterTheirUpdate)
{
    struct Row {
        const char* what;
        std::vector<std::pair<int, Judge>> judges;  // the others idle
        bool modesBefore;
        bool volley, power;
    };
    const Row rows[] = {
        {"no judge running: both off", {}, true, false, false},
        {"a run without an open window: volley", {{2, Judge::running}}, false, true, false},
        {"an open window with one hit: volley and power", {{2, Judge::perfect}}, false, true, true},
        {"an open window with two hits: volley only", {{4, Judge::twoHits}}, true, true, false},
        {"any perfect judge gives power", {{0, Judge::running}, {5, Judge::perfect}}, false, true, true},
        {"a reset ends both, whoever else runs", {{3, Judge::running}, {1, Judge::resetting}}, true, false, false},
        {"a reset beats a perfect judge", {{0, Judge::perfect}, {5, Judge::resetting}}, false, false, false},
        {"judge 6 plays no part", {{6, Judge::perfect}}, true, false, false},
        {"judge 6 resetting plays no part", {{6, Judge::resetting}, {2, Judge::running}}, false, true, false},
    };
    for (const Row& r : rows) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        auto& judges = w.songScore->judges;
        for (int k = 0; k < 7; ++k)
            setJudge(judges[k], Judge::idle, w.now);
        for (const auto& j : r.judges)
            setJudge(judges[j.first], j.second, w.now);
        w.player->clearEvents();  // no shot in this frame
        w.player->volleyMode = w.player->powerMode = r.modesBefore;
        updatePlayerModes(&w);
        EXPECT_EQ(w.player->volleyMode, r.volley) << r.what;
        EXPECT_EQ(w.player->powerMode, r.power) << r.what;
    }
}

TEST(PlayerModes, UntouchedWhileDisabled)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    for (int k = 0; k < 7; ++k)
        setJudge(w.songScore->judges[k], Judge::idle, w.now);
    setJudge(w.songScore->judges[1], Judge::perfect, w.now);
    w.playerModesEnabled = false;
    w.player->volleyMode = false;
    w.player->powerMode = true;
    updatePlayerModes(&w);
    EXPECT_FALSE(w.player->volleyMode);
    EXPECT_TRUE(w.player->powerMode);
}

// --- The spawn schedule ----------------------------------------------------

namespace {

// Start time of occurrence n in a start-time index; INT_MIN when absent.
int startOf(const OccurrenceIndex& index, int n)
{
    for (const auto& e : index)
        if (e.second == n)
            return e.first;
    return INT_MIN;
}

std::vector<int> launched()
{
    return {asteroidWave.wavesLaunched,  beeWave.wavesLaunched,       blockerWave.wavesLaunched,
            dragonflyWave.wavesLaunched, mosquitoWave.wavesLaunched,  flowerWave.wavesLaunched,
            scorpionWave.wavesLaunched,  snakeWaveA.wavesLaunched,    snakeWaveB.wavesLaunched,
            spikeWave.wavesLaunched,     tentacleWaveA.wavesLaunched, tentheadWaveA.wavesLaunched,
            tentacleWaveB.wavesLaunched, tentheadWaveB.wavesLaunched};
}

enum Wave { AST, BEE, BLK, DRG, MSQ, FLW, SCP, SNA, SNB, SPK, TNA, THA, TNB, THB };

// A fresh world, every look-ahead set to 0, and one frame window ending at
// the start of an occurrence: which waves does the schedule launch?
struct ScheduleProbe {
    Game game;
    gameWorld& w = *game.world;
    songScore& score = *w.songScore;

    ScheduleProbe()
    {
        game.frame(16);
        for (int* d : {&asteroidWave.handOverDelayMs, &beeWave.handOverDelayMs, &blockerWave.handOverDelayMs,
                       &dragonflyWave.handOverDelayMs, &mosquitoWave.handOverDelayMs, &flowerWave.handOverDelayMs,
                       &scorpionWave.handOverDelayMs, &snakeWaveA.handOverDelayMs, &snakeWaveB.handOverDelayMs,
                       &spikeWave.handOverDelayMs, &tentacleWaveA.handOverDelayMs, &tentheadWaveA.handOverDelayMs,
                       &tentacleWaveB.handOverDelayMs, &tentheadWaveB.handOverDelayMs})
            *d = 0;
    }

    // Launches per template in the window (lowMs, highMs].
    std::vector<int> probe(int lowMs, int highMs)
    {
        w.now = highMs;
        w.section->previousFrameMs = lowMs;
        w.section->currentFrameMs = highMs;
        const std::vector<int> before = launched();
        spawnDirector(&w);
        std::vector<int> after = launched();
        for (size_t i = 0; i < after.size(); ++i)
            after[i] -= before[i];
        return after;
    }
};

std::vector<int> waves(std::initializer_list<std::pair<Wave, int>> list)
{
    std::vector<int> v(14, 0);
    for (const auto& p : list)
        v[p.first] = p.second;
    return v;
}

} // namespace

TEST(SpawnSchedule, WhichRuleFiresOnWhichOccurrence)
{
    using Index = std::function<const OccurrenceIndex&(songScore&)>;
    auto ev = [](timeEvent& (songScore::*get)()) {
        return Index([get](songScore& s) -> const OccurrenceIndex& { return (s.*get)().occurrences; });
    };
    auto grp = [](eventGroup& (songScore::*get)()) {
        return Index([get](songScore& s) -> const OccurrenceIndex& { return (s.*get)().index; });
    };
    struct Row {
        const char* what;
        Index index;
        int n;
        std::vector<int> expected;
    };
    const Row rows[] = {
        // Block A, first match.
        {"A1 odd: asteroids 3 + 3", ev(&songScore::track1RestA), 1, waves({{AST, 2}})},
        {"A1 even: 2 more", ev(&songScore::track1RestA), 2, waves({{AST, 3}})},
        {"A2 odd", ev(&songScore::track1RestB), 3, waves({{AST, 2}})},
        {"A3: mosquitoes on 1", ev(&songScore::track6Rest), 1, waves({{MSQ, 1}})},
        {"A3 before A4 on 5", ev(&songScore::track6Rest), 5, waves({{MSQ, 1}})},
        {"A4 on 6", ev(&songScore::track6Rest), 6, waves({{AST, 2}})},
        {"A3 before A4 on 9", ev(&songScore::track6Rest), 9, waves({{MSQ, 1}})},
        {"neither past 9", ev(&songScore::track6Rest), 13, waves({})},
        {"A5 on 6", ev(&songScore::track3Phrase), 6, waves({{AST, 2}})},
        {"A5 not on 7", ev(&songScore::track3Phrase), 7, waves({})},
        // Block B, first match.
        {"B1: the first head with its tentacles", ev(&songScore::track10Bar), 1, waves({{THA, 1}, {TNA, 1}})},
        {"B1 only on 1", ev(&songScore::track10Bar), 2, waves({})},
        {"B2 asks for 9 to 99 of 3 occurrences", ev(&songScore::track4Phrase), 3, waves({})},
        {"B3 on 38", ev(&songScore::track6Rest), 38, waves({{BEE, 1}})},
        {"B3 not on 34", ev(&songScore::track6Rest), 34, waves({})},
        {"B3 not on 39", ev(&songScore::track6Rest), 39, waves({})},
        {"B4 on 1: blockers 8 + 8 + 8", ev(&songScore::track9Phrase), 1, waves({{BLK, 3}})},
        {"B5 on 2: both snake waves", ev(&songScore::track9Phrase), 2, waves({{SNA, 1}, {SNB, 1}})},
        // Block C, first match.
        {"C1 on 6", ev(&songScore::track14Bar), 6, waves({{SPK, 1}})},
        {"C1 not on 7", ev(&songScore::track14Bar), 7, waves({})},
        {"C2 on 5", grp(&songScore::beeWaveGroup), 5, waves({{BEE, 1}})},
        {"C2 not on 9", grp(&songScore::beeWaveGroup), 9, waves({})},
        {"C3 on 10", grp(&songScore::beeWaveGroup), 10, waves({{DRG, 1}})},
        {"C4 on 1", ev(&songScore::track16Phrase), 1, waves({{FLW, 1}})},
        {"C5 on any: blockers 2 + 2 + 2", grp(&songScore::blockerPairGroup), 1, waves({{BLK, 3}})},
        {"C6 on 4", ev(&songScore::track19Note), 4, waves({{FLW, 1}})},
        {"C6 not on 3", ev(&songScore::track19Note), 3, waves({})},
        {"C7 on 5", ev(&songScore::track15Bar), 5, waves({{BEE, 1}})},
        {"C7 not on 9", ev(&songScore::track15Bar), 9, waves({})},
        {"C8 on 5", ev(&songScore::track20Note), 5, waves({{FLW, 1}})},
        {"C8 not on 4", ev(&songScore::track20Note), 4, waves({})},
        // Blocks D and E.
        {"D on 4", ev(&songScore::track20Bar), 4, waves({{SCP, 1}})},
        {"D not on 7", ev(&songScore::track20Bar), 7, waves({})},
        {"E: the second head with its tentacles", ev(&songScore::track14Section), 1, waves({{THB, 1}, {TNB, 1}})},
        {"E only on 1", ev(&songScore::track14Section), 2, waves({})},
    };
    for (const Row& r : rows) {
        ScheduleProbe p;
        const int t = startOf(r.index(p.score), r.n);
        ASSERT_NE(t, INT_MIN) << r.what;
        EXPECT_EQ(p.probe(t - 1, t), r.expected) << r.what << " (starts at " << t << ")";
    }
}

TEST(SpawnSchedule, InABlockOnlyTheFirstMatchingRuleActs)
{
    // One window over the first spike bar (C1) and the fourth track-19 note
    // (C6). Only block C launches flowers or dragonflies, and in this window
    // its first rule holds: spikes, and nothing of the rules after it.
    // (The templates are global: one probe, one world, at a time.)
    int spike = 0, flower = 0;
    {
        ScheduleProbe c6;
        spike = startOf(c6.score.track14Bar().occurrences, 1);
        flower = startOf(c6.score.track19Note().occurrences, 4);
        EXPECT_EQ(c6.probe(flower - 1, flower)[FLW], 1);  // C6 on its own
    }
    ScheduleProbe p;
    const std::vector<int> got = p.probe(std::min(spike, flower) - 1, std::max(spike, flower));
    EXPECT_EQ(got[SPK], 1);
    EXPECT_EQ(got[FLW], 0);
    EXPECT_EQ(got[DRG], 0);
}

TEST(SpawnSchedule, BlockFNeedsTheSecondPhraseBegunAndANoteOfTheHead)
{
    // Blockers 15 on a note of tentheadNoteGroupB with n mod 4 = 1, looked
    // ahead by the blockers' delay minus 91 ms, once the second track-17
    // phrase has begun. (The templates are global: one probe at a time.)
    int before = INT_MIN, after = INT_MIN, phraseTwo = 0;
    {
        ScheduleProbe p;
        phraseTwo = startOf(p.score.track17Phrase().occurrences, 2);
        for (const auto& e : p.score.tentheadNoteGroupB().index) {
            if (e.second % 4 != 1)
                continue;
            if (e.first < phraseTwo - 200)
                before = e.first;
            else if (after == INT_MIN && e.first > phraseTwo + 200)
                after = e.first;
        }
    }
    ASSERT_NE(after, INT_MIN);
    {
        ScheduleProbe p;
        EXPECT_EQ(p.probe(after + 91 - 1, after + 91)[BLK], 1);
        const formation& f = blockerWave.entryFormation;
        EXPECT_EQ(f.memberCount() + static_cast<int>(f.pendingShips.size()), 15);
    }
    {
        ScheduleProbe p;
        EXPECT_EQ(p.probe(after - 1, after)[BLK], 0) << "the note itself, without the 91 ms";
    }
    if (before != INT_MIN) {
        ScheduleProbe p;
        EXPECT_EQ(p.probe(before + 91 - 1, before + 91)[BLK], 0) << "before the second phrase";
    }
}

// --- Enemy fire ------------------------------------------------------------

namespace {

// A bare world with a frame window the test sets, and notes at 1000, 2000,
// 3000 and 4000 ms (occurrences 1 to 4).
struct FireBench {
    FireBench()
    {
        w.section = &section;
        w.formations = new formationManager(&w);
        for (int n = 1; n <= 4; ++n)
            notes.emplace(1000 * n, n);
    }
    void window(int lo, int hi)
    {
        section.previousFrameMs = lo;
        section.currentFrameMs = hi;
        w.now = hi;
    }
    ship* enemy(float v, float heading)
    {
        auto* s = new ship();
        s->setDefaults(&w);
        s->setPosition(0.5f, v);
        s->setHeading(heading);
        w.addObject(s);
        return s;
    }
    timeEventSection section;
    OccurrenceIndex notes;
    gameWorld w{gameWorld::bare_t{}};
};

} // namespace

TEST(EnemyFire, NoteTestsWithModulusRemainderOffsetAndShift)
{
    struct Row {
        const char* what;
        int mod, rem, offset, shift;
        int lo, hi;  // the frame window
        bool due;
    };
    const Row rows[] = {
        {"every note: on it", 0, 0, 0, 0, 999, 1000, true},
        {"every note: the window's low end is open", 0, 0, 0, 0, 1000, 1999, false},
        {"modulus 1 takes every note", 1, 0, 0, 0, 2999, 3000, true},
        {"even notes: not the first", 2, 0, 0, 0, 999, 1000, false},
        {"even notes: the second", 2, 0, 0, 0, 1999, 2000, true},
        {"n mod 4 = 1: the first", 4, 1, 0, 0, 999, 1000, true},
        {"n mod 4 = 1: not the fourth", 4, 1, 0, 0, 3999, 4000, false},
        {"n mod 3 = 2: the second", 3, 2, 0, 0, 1500, 2500, true},
        {"offset looks ahead", 0, 0, 500, 0, 499, 500, true},
        {"offset: the note itself is then past", 0, 0, 500, 0, 999, 1000, false},
        {"a late member's shift looks back", 0, 0, 0, -250, 1249, 1250, true},
        {"offset and shift add up", 0, 0, 500, -250, 749, 750, true},
        {"shift and modulus together", 2, 0, 0, -250, 1249, 1250, false},
    };
    for (const Row& r : rows) {
        FireBench b;
        ship* s = b.enemy(1.0f, 180.0f);
        s->fireQuery = s->actionQuery = &b.notes;
        s->noteShiftMs = r.shift;
        // The fire test reads only the fire fields...
        s->fireMod = r.mod;
        s->fireRem = r.rem;
        s->fireOffsetMs = r.offset;
        s->actionMod = 7;
        s->actionRem = 6;
        s->actionOffsetMs = 100000;
        b.window(r.lo, r.hi);
        EXPECT_EQ(s->fireNoteDue(), r.due) << "fire: " << r.what;
        // ...and the action test only the action fields.
        std::swap(s->fireMod, s->actionMod);
        std::swap(s->fireRem, s->actionRem);
        std::swap(s->fireOffsetMs, s->actionOffsetMs);
        EXPECT_EQ(s->actionNoteDue(), r.due) << "action: " << r.what;
        EXPECT_FALSE(s->fireNoteDue()) << r.what;
    }
    FireBench b;
    ship* s = b.enemy(1.0f, 180.0f);
    b.window(999, 1000);
    EXPECT_FALSE(s->fireNoteDue());  // no query
    EXPECT_FALSE(s->actionNoteDue());
}

TEST(EnemyFire, TryFireNeedsTheZoneTheNoteAndTheCooldown)
{
    struct Row {
        const char* what;
        float v, heading;
        int lo, hi;
        int nextFireMs;
        bool fires;
    };
    const Row rows[] = {
        {"in the zone on a note", 1.0f, 180.0f, 999, 1000, -2, true},
        {"no note in the window", 1.0f, 180.0f, 1000, 1500, -2, false},
        {"beyond the near half", 2.01f, 180.0f, 999, 1000, -2, false},
        {"at the zone's far edge", 2.0f, 240.0f, 999, 1000, -2, true},
        {"heading away from the player", 1.0f, 90.0f, 999, 1000, -2, false},
        {"behind the player's end", -0.01f, 180.0f, 999, 1000, -2, false},
        {"cooling down", 1.0f, 180.0f, 999, 1000, 1001, false},
        {"cooldown just over", 1.0f, 180.0f, 999, 1000, 1000, true},
    };
    for (const Row& r : rows) {
        FireBench b;
        ship* s = b.enemy(r.v, r.heading);
        s->fireQuery = &b.notes;
        s->nextFireMs = r.nextFireMs;
        s->fireCooldownMs = 300;
        b.window(r.lo, r.hi);
        const size_t before = b.w.objects.size();
        s->tryFire();
        EXPECT_EQ(b.w.objects.size() - before, r.fires ? 1u : 0u) << r.what;
        EXPECT_EQ(s->hasEvent(EVENT_FIRED), r.fires) << r.what;
        if (r.fires) {
            EXPECT_EQ(s->nextFireMs, r.hi + 300) << r.what;
            EXPECT_EQ(b.w.objects.back()->owner, s) << r.what;
            EXPECT_EQ(b.w.objects.back()->side, 0) << r.what;
        }
    }
}

// --- The tentacle heads' moves ------------------------------------------

TEST(TentacleHeads, TheFirstHoldsThenRetreatsOnItsPhrase)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    ASSERT_EQ(tentheadWaveA.holdV, 0.5f);
    // A head heading 180 needs 4794 ms from the far end to the hold line:
    // the phrase turns it back that long after it starts.
    const int phrase = startOf(w.songScore->track9Phrase().occurrences, 1);
    const int turn = phrase + 4794;
    struct Row {
        const char* what;
        float v, speed;
        int lo, hi;
        float vAfter, speedAfter;
    };
    const Row rows[] = {
        {"still coming: flies on", 0.6f, 0.73f, 1000, 1016, 0.6f, 0.73f},
        {"on the line: stops", 0.5f, 0.73f, 1000, 1016, 0.5f, 0.0f},
        {"past the line: put back on it", 0.49f, 0.73f, 1000, 1016, 0.5f, 0.0f},
        {"the phrase, shifted: turns back where it is", 0.5f, 0.0f, turn - 1, turn, 0.5f, -0.73f},
        {"the phrase itself is not the moment", 0.5f, 0.0f, phrase - 1, phrase, 0.5f, 0.0f},
        {"retreating below the line: never stops again", 0.45f, -0.73f, turn + 16, turn + 32, 0.45f, -0.73f},
    };
    for (const Row& r : rows) {
        tentheadShip head(180.0f, &w, PositionSpec::at(0.3f, r.v));
        head.setSpeed(r.speed);
        w.section->previousFrameMs = r.lo;
        w.section->currentFrameMs = r.hi;
        holdThenRetreat(head);
        EXPECT_FLOAT_EQ(head.position.v, r.vAfter) << r.what;
        EXPECT_FLOAT_EQ(head.speed, r.speedAfter) << r.what;
        EXPECT_FLOAT_EQ(head.position.u, 0.3f) << r.what;
        EXPECT_NEAR(head.velocityV, -r.speedAfter, 1e-6f) << r.what;  // along heading 180
    }
}

TEST(TentacleHeads, TheSecondHoldsItsPositionForGood)
{
    Game g;
    gameWorld& w = *g.world;
    g.frame(16);
    ASSERT_EQ(tentheadWaveB.holdV, 0.4f);
    const int phrase = startOf(w.songScore->track9Phrase().occurrences, 1) + 4794;
    struct Row {
        const char* what;
        float v;
        int lo, hi;
        float vAfter, speedAfter;
    };
    const Row rows[] = {
        {"still coming", 0.41f, 1000, 1016, 0.41f, 0.73f},
        {"on the line", 0.4f, 1000, 1016, 0.4f, 0.0f},
        {"past it: put back", 0.3f, 1000, 1016, 0.4f, 0.0f},
        {"no phrase turns it back", 0.4f, phrase - 1, phrase, 0.4f, 0.0f},
    };
    for (const Row& r : rows) {
        tentheadShip head(180.0f, &w, PositionSpec::at(0.7f, r.v));
        w.section->previousFrameMs = r.lo;
        w.section->currentFrameMs = r.hi;
        holdPosition(head);
        EXPECT_FLOAT_EQ(head.position.v, r.vAfter) << r.what;
        EXPECT_FLOAT_EQ(head.speed, r.speedAfter) << r.what;
        EXPECT_FLOAT_EQ(head.position.u, 0.7f) << r.what;
    }
}

// --- Ship against player ------------------------------------------------

TEST(ShipContact, AShipHitsThePlayerOnlyComingTowardIt)
{
    struct Row {
        const char* what;
        float u, v, heading;
        bool playerActive, inFormation;
        bool hit;
    };
    const Row rows[] = {
        {"overlapping, coming toward the player", 0.5f, 0.01f, 180.0f, true, true, true},
        {"heading 91", 0.5f, 0.01f, 91.0f, true, true, true},
        {"heading 90: passing by", 0.5f, 0.01f, 90.0f, true, true, false},
        {"heading 270", 0.5f, 0.01f, 270.0f, true, true, false},
        {"heading 0: flying away", 0.5f, 0.01f, 0.0f, true, true, false},
        {"behind the player's end", 0.5f, -0.001f, 180.0f, true, true, false},
        {"beside it", 0.6f, 0.01f, 180.0f, true, true, false},
        {"just touching across u", 0.5f + 0.02275f + 0.01625f - 0.0001f, 0.01f, 180.0f, true, true, true},
        {"the player respawning", 0.5f, 0.01f, 180.0f, false, true, false},
        {"a ship of no formation", 0.5f, 0.01f, 180.0f, true, false, false},
    };
    for (const Row& r : rows) {
        Game g;
        gameWorld& w = *g.world;
        g.frame(16);
        g.jump(1000);
        kestor& p = *w.player;
        p.respawning = !r.playerActive;
        p.invulnerableUntil = r.playerActive ? -2 : INT_MAX;
        p.active = r.playerActive;
        p.setPosition(0.5f, 0.0f);
        blockerShip* s = nullptr;
        if (r.inFormation) {
            blockerWave.spawn(1);
            s = static_cast<blockerShip*>(blockerWave.entryFormation.members.back().member);
        } else {
            s = new blockerShip(180.0f, &w, PositionSpec::at(r.u, r.v));
            w.addObject(s);
        }
        s->setHeading(r.heading);
        s->setPosition(r.u, r.v);
        s->setSpeed(0.0f);
        g.frame(16);
        EXPECT_EQ(p.lives, r.hit ? 4 : 5) << r.what;
        // The contact works both ways: the player's 1 hit point hits back.
        EXPECT_FLOAT_EQ(s->hitPoints, r.hit ? 8.0f - 1.001f : 8.0f) << r.what;
    }
}
