// A whole game headless, with a player that cannot be hit: every object the
// world adds in it, of any type, gets a figure from the game's table, so
// nothing in play is invisible. Background markers of the scenery type take
// their figure by the environment variant, which moves on with every colour
// change: every variant has one.
#include "figures/FigureTable.h"
#include "platform/clock.h"
#include "world/gameWorld.h"
#include "world/kestor.h"
#include "world/mobileObject.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>

namespace {

FigureBuilder builderOf(int type)
{
    const FigureTable& table = gameFigureTable();
    for (int i = 0; i < table.typeCount; ++i)
        if (table.types[i].typeCode == type)
            return table.types[i].build;
    return nullptr;
}

} // namespace

TEST(EveryObjectDrawn, AWholeGameAddsNoObjectWithoutAFigure)
{
    plat::ManualClock clock(100000);
    auto world = std::make_unique<gameWorld>();
    world->clockOffset = -static_cast<int>(plat::clock());
    world->now = 0;
    std::map<int, int> added;  // type code -> objects added
    int music = 0;
    while (world->phase != PHASE_WON && world->phase != PHASE_LOST) {
        world->player->respawning = true;
        world->player->invulnerableUntil = INT_MAX;
        // Holds fire all the game long, so shots fly too.
        world->player->fireRequested = true;
        world->player->fireKind = 1;
        clock.advance(16);
        music += 16;
        world->update(music);
        for (const mobileObject* o : world->objects)
            if (o->hasFrameEvent(EVENT_ADDED))
                ++added[o->type];
    }
    ASSERT_GT(added.size(), 5u) << "a whole song adds objects of many kinds";
    for (const auto& entry : added) {
        if (entry.first == SCENERY_TYPE)
            continue;
        EXPECT_NE(builderOf(entry.first), nullptr)
            << entry.second << " objects of type " << entry.first << " would be invisible";
    }
    const FigureTable& table = gameFigureTable();
    ASSERT_EQ(table.sceneryCount, 17);
    for (int v = 0; v < table.sceneryCount; ++v)
        EXPECT_NE(table.scenery[v].build, nullptr) << "scenery variant " << v;
    EXPECT_GT(added[SCENERY_TYPE], 0);
    EXPECT_GT(added[TYPE_BULLET], 0);
}
