#pragma once

#include <array>
#include <span>

#include "forecast/games.h"
#include "runtime/captions.h"
#include "runtime/random.h"

namespace ostavel {

// A forecast's numbers, first to last; only the first max are in play.
using NumberSet = std::array<Number, positionCount>;

bool isRejected(Rejection rejection, std::span<const Number> set);

// Draws whole sets, first number first, until one passes the game's test. A rejected set is
// discarded whole; there is no limit on attempts (a Loto 6 set passes about 69 % of the time).
NumberSet drawSet(const Game& game, RandomSource& random);

}  // namespace ostavel
