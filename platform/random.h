#pragma once
// The game's one random generator. Every draw in the game goes through it, so
// a seed replays a game exactly: state = state * 214013 + 2531011,
// result = (state >> 16) & 0x7FFF (0 .. RAND_MAX).

namespace plat {

constexpr int RAND_MAX_VALUE = 0x7FFF;

void srand(unsigned int seed);
int rand();

} // namespace plat
