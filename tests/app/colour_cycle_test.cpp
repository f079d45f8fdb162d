// The timed colour change of the scenery screens, on the deadline each class
// keeps between visits, with the model manager's fades.
#include "app/ColourCycle.h"
#include "app/TextColours.h"
#include "tests/model/ogre_fixture.h"

TEST(ColourCycleTest, FirstVisitOfAScreenChangesAtItsFirstFrame)
{
    int deadline = 0; // never visited
    EXPECT_TRUE(colourCycleDue(120, deadline));
    EXPECT_EQ(deadline, 120 + COLOUR_CYCLE_PERIOD_MS);
    EXPECT_FALSE(colourCycleDue(120 + COLOUR_CYCLE_PERIOD_MS - 1, deadline));
    EXPECT_TRUE(colourCycleDue(120 + COLOUR_CYCLE_PERIOD_MS, deadline));
}

TEST(ColourCycleTest, MenuEntryPutsTheFirstChange33SecondsAhead)
{
    const int entry = 4000;
    int deadline = entry + COLOUR_CYCLE_PERIOD_MS; // what the menu's entry sets
    EXPECT_FALSE(colourCycleDue(entry, deadline));
    EXPECT_FALSE(colourCycleDue(entry + 32999, deadline));
    EXPECT_TRUE(colourCycleDue(entry + 33000, deadline));
}

// Left 10 s after the last change, back 5 s later: the deadline kept from
// the visit falls 18 s after the return.
TEST(ColourCycleTest, ReEntryKeepsTheDeadlineOfThePreviousVisit)
{
    int deadline = 0;
    const int lastChange = 50000;
    ASSERT_TRUE(colourCycleDue(lastChange, deadline));
    const int back = lastChange + 10000 + 5000;
    EXPECT_FALSE(colourCycleDue(back, deadline));
    EXPECT_FALSE(colourCycleDue(back + 17999, deadline));
    EXPECT_TRUE(colourCycleDue(back + 18000, deadline));
}

TEST(ColourCycleTest, AFarPassedDeadlineChangesAtOnceAndMovesFromNow)
{
    int deadline = 1000;
    EXPECT_TRUE(colourCycleDue(500000, deadline));
    EXPECT_EQ(deadline, 500000 + COLOUR_CYCLE_PERIOD_MS);
}

class ColourCycleFadeTest : public OgreTest {
protected:
    void SetUp() override
    {
        OgreTest::SetUp();
        clock.set(1000);
    }
};

// The O key starts a fade; a timed change due during it is skipped and the
// next one comes a whole period later.
TEST_F(ColourCycleFadeTest, ChangeDueDuringAFadeIsSkippedNotPostponed)
{
    ModelManager manager(scene);
    const int start = manager.targetScheme;
    int deadline = 1500;
    manager.cycleScheme(true); // the O key at 1000
    manager.updateFade();
    clock.set(1500);
    ASSERT_TRUE(colourCycleDue(1500, deadline));
    manager.cycleScheme(true);
    EXPECT_EQ(manager.targetScheme, (start + 1) % SCHEME_COUNT);
    EXPECT_EQ(deadline, 1500 + COLOUR_CYCLE_PERIOD_MS);
    clock.set(2100);
    manager.updateFade();
    EXPECT_FALSE(manager.fading);
    EXPECT_FALSE(colourCycleDue(2100, deadline));
    EXPECT_FALSE(colourCycleDue(1500 + COLOUR_CYCLE_PERIOD_MS - 1, deadline));
    EXPECT_TRUE(colourCycleDue(1500 + COLOUR_CYCLE_PERIOD_MS, deadline));
}

TEST_F(ColourCycleFadeTest, TextRolesMirrorTheirPaletteEntries)
{
    ModelManager manager(scene);
    EXPECT_EQ(&textColour(manager.palette, TEXT_TITLE), &manager.palette[9]);
    EXPECT_EQ(&textColour(manager.palette, TEXT_HEADING), &manager.palette[11]);
    EXPECT_EQ(&textColour(manager.palette, TEXT_BODY), &manager.palette[0]);
}
