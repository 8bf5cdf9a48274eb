#pragma once

#include <array>

#include "reels/pacedwait.h"
#include "runtime/captions.h"
#include "runtime/random.h"

namespace ostavel {

// One reel routine: the first position it spins, how many frames it runs and how long each
// frame stays up. Later routines start further right and slow down.
struct ReelStage {
    int firstPosition;
    int frames;
    Timer delay;
};

using Milliseconds = std::chrono::milliseconds;

inline constexpr std::array<ReelStage, 6> reelStages{{
    {1, 31, Milliseconds{10}},
    {2, 21, Milliseconds{50}},
    {3, 11, Milliseconds{100}},
    {4, 7, Milliseconds{300}},
    {5, 4, Milliseconds{500}},
    {6, 6, Milliseconds{700}},
}};

// How many positions a game shows: its max when that is 3, 4 or 5, else all six.
int shownCount(Number max);

// The six reel routines: the number labels not yet settled flicker through random numbers
// of the game's range, like slot-machine reels; positions beyond the game's count are blanked.
// The numbers are display only: the forecast draws its own.
class Reels final {
public:
    Reels(Captions& captions, RandomSource& random, Pacer& pacer)
        : captions_(captions), random_(random), pacer_(pacer) {}

    // "kurukuru" is the sound of something spinning round; routine k spins positions k to 6.
    void kurukuru(Number upperbound, Number lowerbound, Number max);
    void kurukuru2(Number upperbound, Number lowerbound, Number max);
    void kurukuru3(Number upperbound, Number lowerbound, Number max);
    void kurukuru4(Number upperbound, Number lowerbound, Number max);
    void kurukuru5(Number upperbound, Number lowerbound, Number max);
    void kurukuru6(Number upperbound, Number lowerbound, Number max);

private:
    void spin(const ReelStage& stage, Number upperbound, Number lowerbound, Number max);
    void showFrame(int first, int shown, const std::array<Number, positionCount + 1>& drawn);

    Captions& captions_;
    RandomSource& random_;
    Pacer& pacer_;
};

// The routines by first position, for callers that reach them by number.
using ReelRoutine = void (Reels::*)(Number, Number, Number);
inline constexpr std::array<ReelRoutine, 6> reelRoutines{
    &Reels::kurukuru,  &Reels::kurukuru2, &Reels::kurukuru3,
    &Reels::kurukuru4, &Reels::kurukuru5, &Reels::kurukuru6,
};

}  // namespace ostavel
