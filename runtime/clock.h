#pragma once

#include <chrono>

namespace ostavel {

// A clock reading: time since the clock's own origin, in whole nanoseconds, so that the
// difference of two readings is exact however long the program has run.
using Timer = std::chrono::nanoseconds;

// The clock that paces the animation. It must be monotonic: a wait measured on a clock that
// jumps back (midnight, the system time being set) would never end.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Timer GetTimer() = 0;
};

// The real clock: std::chrono::steady_clock, counted from the moment it was made.
class SteadyClock final : public Clock {
public:
    Timer GetTimer() override;

private:
    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

}  // namespace ostavel
