// The program's one pseudo-random generator: linear congruential,
// state = state * 214013 + 2531011, value = bits 16..30 of the new state.
#pragma once

#include <cstdint>

void seedRandom(std::uint32_t seed);
int nextRandomValue();  // 0..32767
int randomInRange(int min = 0, int max = 2147483647);
