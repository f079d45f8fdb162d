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
