// The program's pseudo-random generator. The sequence must stay exactly this
// linear congruential one: the word order of a quiz is drawn from it.
#include "runtime/random.h"

namespace {
// Like the C runtime's rand, the generator behaves as if seeded with 1 until
// seedRandom is called.
std::uint32_t state = 1;
}  // namespace

void seedRandom(std::uint32_t seed) {
    state = seed;
}

int nextRandomValue() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

int randomInRange(int min, int max) {
    if (min < 0) min = 0;
    if (max < 0) max = 0;
    if (min > max) {
        int swapped = min;
        min = max;
        max = swapped;
    }
    if (min == max) return min;
    long long span = static_cast<long long>(max) - min;
    if (span > 2147483646) span = 2147483646;
    return static_cast<int>(min + nextRandomValue() % (span + 1));
}
