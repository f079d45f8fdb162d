#include "platform/random.h"

#include <cstdint>

namespace plat {
namespace {
// An unseeded generator behaves as if seeded with 1.
std::uint32_t state = 1;
} // namespace

void srand(unsigned int seed) { state = seed; }

int rand()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

} // namespace plat
