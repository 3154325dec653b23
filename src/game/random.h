// The game's one pseudo-random generator. Seeded once at start-up from the
// tick count; every deal and every highlight colour draws from it, so a run
// started at the same tick with the same input repeats exactly.
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);
// A non-negative value, 0 to 0x7FFFFFFF.
int32_t NextRandom();
