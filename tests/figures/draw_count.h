#pragma once
// How many values a build drew from the game's generator since it was
// seeded: the values that follow the build are matched against the ones
// that follow N fresh draws from the same seed.
#include "platform/random.h"

#include <array>

inline std::array<int, 4> nextDraws()
{
    std::array<int, 4> next{};
    for (int& v : next)
        v = plat::rand();
    return next;
}

// The number of draws made since plat::srand(seed), or -1 when it is more
// than `limit`. Call it right after the build; it moves the generator on.
inline int drawsSinceSeed(unsigned seed, int limit = 400)
{
    const std::array<int, 4> after = nextDraws();
    for (int n = 0; n <= limit; ++n) {
        plat::srand(seed);
        for (int i = 0; i < n; ++i)
            plat::rand();
        if (nextDraws() == after)
            return n;
    }
    return -1;
}
