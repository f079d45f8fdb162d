#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(Clock, RealClockCountsWallTimeNotProcessorTime)
{
    long before = plat::clock();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    long elapsed = plat::clock() - before;
    // A sleeping process burns no processor time; a wall clock still moves.
    EXPECT_GE(elapsed, 55);
    EXPECT_GT(plat::time(), 1600000000L);
}

TEST(Clock, RealClockReadsTheSameInstantInMillisecondsAndMicroseconds)
{
    // The microsecond reading lies within the millisecond one read around it.
    for (int i = 0; i < 1000; ++i) {
        const long before = plat::clock();
        const long long us = plat::clockUs();
        const long after = plat::clock();
        ASSERT_GE(us, static_cast<long long>(before) * 1000);
        ASSERT_LT(us, (static_cast<long long>(after) + 1) * 1000);
    }
}

TEST(Clock, ManualClockKeepsMicrosecondsBehindItsMillisecondApi)
{
    struct Case {
        const char* what;
        long long setUs;
        long ms;
    };
    const Case cases[] = {
        {"a whole millisecond", 16000, 16},
        {"just short of the next", 16999, 16},
        {"a share of 6.94 ms", 6944, 6},
        {"zero", 0, 0},
        {"just before zero rounds down", -1, -1},
        {"a whole millisecond before zero", -1000, -1},
        {"past it", -1001, -2},
    };
    plat::ManualClock clock;
    for (const Case& c : cases) {
        clock.setUs(c.setUs);
        EXPECT_EQ(plat::clock(), c.ms) << c.what;
        EXPECT_EQ(plat::clockUs(), c.setUs) << c.what;
    }
    // Frames of 16.667 ms: the milliseconds go 16, 33, 50, as the real clock's.
    clock.set(0);
    long seen[3];
    for (long& ms : seen) {
        clock.advanceUs(16667);
        ms = plat::clock();
    }
    EXPECT_EQ(seen[0], 16);
    EXPECT_EQ(seen[1], 33);
    EXPECT_EQ(seen[2], 50);
    clock.advance(2);
    EXPECT_EQ(plat::clockUs(), 52001);
}

// A time source that knows only milliseconds.
class CoarseSource : public plat::ClockSource {
public:
    long clockMs() override { return 250; }
    long timeSeconds() override { return 0; }
};

TEST(Clock, ASourceWithOnlyMillisecondsReadsAsTheirStart)
{
    CoarseSource coarse;
    plat::setClockSource(&coarse);
    EXPECT_EQ(plat::clockUs(), 250000);
    plat::setClockSource(nullptr);
}

TEST(Clock, ManualClockInstallsAndRestoresNested)
{
    {
        plat::ManualClock outer(100, 7);
        EXPECT_EQ(plat::clock(), 100);
        EXPECT_EQ(plat::time(), 7);
        {
            plat::ManualClock inner(5);
            inner.advance(16);
            EXPECT_EQ(plat::clock(), 21);
        }
        outer.set(2000);
        EXPECT_EQ(plat::clock(), 2000);
    }
    // Back on the real clock: program time is small and positive, not 2000.
    EXPECT_GE(plat::clock(), 0);
    EXPECT_GT(plat::time(), 1600000000L);
}
