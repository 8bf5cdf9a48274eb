#include "forecast/draw.h"

#include <algorithm>

namespace ostavel {

namespace {

bool anyTwoEqual(std::span<const Number> set) {
    for (std::size_t i = 0; i < set.size(); ++i) {
        if (std::find(set.begin() + static_cast<std::ptrdiff_t>(i) + 1, set.end(), set[i]) !=
            set.end()) {
            return true;
        }
    }
    return false;
}

// Neighbours are compared and every comparison must hold, which is exactly "all digits equal":
// 1, 1, 2 passes, only 7, 7, 7 is drawn again.
bool allNeighboursEqual(std::span<const Number> set) {
    return std::adjacent_find(set.begin(), set.end(), std::not_equal_to<>()) == set.end();
}

}  // namespace

bool isRejected(Rejection rejection, std::span<const Number> set) {
    switch (rejection) {
        case Rejection::AnyTwoEqual:
            return anyTwoEqual(set);
        case Rejection::AllDigitsEqual:
            return allNeighboursEqual(set);
    }
    return false;
}

NumberSet drawSet(const Game& game, RandomSource& random) {
    NumberSet set{};
    const auto inPlay = std::span(set).first(static_cast<std::size_t>(game.max));
    do {
        for (Number& n : inPlay) {
            n = RandomInRange(random, game.upperbound, game.lowerbound);
        }
    } while (isRejected(game.rejection, inPlay));
    return set;
}

}  // namespace ostavel
