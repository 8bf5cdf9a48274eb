// One forecast in the real window and the real event loop, as a press of its button runs it,
// with the figures it is judged by.
#pragma once

#include <array>
#include <string_view>

#include "bench/measure.h"
#include "forecast/games.h"

namespace ostavel::bench {

struct GameButton {
    Button button;
    std::string_view name;  // the button's object name
    std::string_view title;
    // The forecast's timeline: the sum of its waits.
    double leastSeconds() const {
        return std::chrono::duration<double>(leastRunningTime(gameOf(button))).count();
    }
};

inline constexpr std::array<GameButton, 4> gameButtons{{
    {Button::roto6, "roto6", "Loto 6"},
    {Button::miniroto, "miniroto", "Mini Loto"},
    {Button::Numbers3, "Numbers3", "Numbers 3"},
    {Button::Numbers4, "Numbers4", "Numbers 4"},
}};

enum class PumpKind {
    sleeping,  // QtEventPump, as the programs run
    spinning,  // the busy-polling baseline
};

struct ForecastFigures {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    // The forecast's own work between its waits: writing captions, drawing.
    double outsideWaitsSeconds = 0;
    // Ready to run but kept off the processor by the machine's other work.
    double queuedSeconds = 0;
    Spread overshootMilliseconds;
    int beeps = 0;
};

// Builds a window on the given pump, shows it, and once it has painted presses the game's
// button and measures the forecast. Must run inside the application's event loop.
ForecastFigures measureForecast(const GameButton& game, PumpKind pumpKind);

}  // namespace ostavel::bench
