// The benchmark's plain-text report, each figure marked against its target.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "bench/firstpaint.h"
#include "bench/forecastrun.h"

namespace ostavel::bench {

// What the real pump must achieve; the spinning baseline is shown for comparison only.
struct Targets {
    static constexpr double durationRatio = 1.005;  // wall time / least running time
    static constexpr double meanOvershootMs = 1.0;  // below
    static constexpr double cpuShare = 0.03;        // processor seconds / wall seconds
    static constexpr double firstPaintRatio = 1.5;  // to a bare window's, from process start
};

struct GameRow {
    GameButton game;
    ForecastFigures sleeping;
    std::optional<ForecastFigures> spinning;
};

// Prints the forecast table, start-up and memory, and how many targets were missed.
void printReport(std::string_view platform, const std::vector<GameRow>& rows,
                 const StartupFigures& startup, double benchResidentMegabytes);

}  // namespace ostavel::bench
