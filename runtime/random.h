#pragma once

#include <cstdint>
#include <random>

namespace ostavel {

// A drawn number, and the game parameters that bound it.
using Number = std::int16_t;

// The one pseudo-random sequence of a run.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Seeds the sequence from the current time; called once, at start-up.
    virtual void Randomize() = 0;
    // The next value of the sequence, uniform over [0, 1): never 1.
    virtual float RandomNext() = 0;
};

// The real generator: a Mersenne twister seeded from the clock.
class SeededRandom final : public RandomSource {
public:
    void Randomize() override;
    float RandomNext() override;
    // A fixed seed, so that a sequence can be replayed.
    void seed(std::uint32_t value) { engine_.seed(value); }

private:
    std::mt19937 engine_;
};

// A number drawn uniformly from [lowerbound, upperbound]: floor(n * RandomNext() + lowerbound)
// with n = upperbound - lowerbound + 1. Every draw of the program goes through here.
Number RandomInRange(RandomSource& random, Number upperbound, Number lowerbound);

}  // namespace ostavel
