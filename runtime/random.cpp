#include "runtime/random.h"

#include <chrono>
#include <cmath>

namespace ostavel {

void SeededRandom::Randomize() {
    // Nanoseconds of the wall clock: two starts even a microsecond apart get different seeds.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    engine_.seed(seed);
}

float SeededRandom::RandomNext() {
    // The top 24 bits fill a float's mantissa exactly: 2^24 evenly spaced values in [0, 1).
    return static_cast<float>(engine_() >> 8) * 0x1p-24f;
}

Number RandomInRange(RandomSource& random, Number upperbound, Number lowerbound) {
    const int n = upperbound - lowerbound + 1;
    // In double precision n * r is exact for every float r, so the largest r below 1 still
    // lands on upperbound; single precision could round it up to upperbound + 1.
    const double x = n * static_cast<double>(random.RandomNext()) + lowerbound;
    return static_cast<Number>(std::floor(x));
}

}  // namespace ostavel
