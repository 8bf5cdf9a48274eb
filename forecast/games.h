#pragma once

#include "forecast/script.h"
#include "runtime/random.h"

namespace ostavel {

// When a drawn set must be drawn again, whole.
enum class Rejection {
    AnyTwoEqual,     // the lotteries: all numbers must differ
    AllDigitsEqual,  // the digit games: only a set of one repeated digit is refused
};

// What one game button forecasts, and how it shows it.
struct Game {
    Number upperbound;
    Number lowerbound;
    Number max;  // how many numbers the game shows
    Rejection rejection;
    Script script;
};

extern const Game roto6Game;
extern const Game minirotoGame;
extern const Game numbers3Game;
extern const Game numbers4Game;

// The four game buttons, by the names the window gives them.
enum class Button { miniroto, roto6, Numbers3, Numbers4 };

// The game a button forecasts.
const Game& gameOf(Button button);

// The least time a game's forecast lasts: the delays of all its waits, each frame of its reel
// routines' included. A real forecast may only overrun it.
Timer leastRunningTime(const Game& game);

}  // namespace ostavel
