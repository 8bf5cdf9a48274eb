// One forecast in the real window, measured around its button's click.
#include "bench/forecastrun.h"

#include <QPushButton>
#include <stdexcept>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"
#include "bench/benchwindow.h"
#include "bench/firstpaint.h"
#include "bench/spinningpump.h"

namespace ostavel::bench {

ForecastFigures measureForecast(const GameButton& game, PumpKind pumpKind) {
    SeededRandom random;
    SteadyClock clock;
    QtEventPump sleepingPump(clock);
    SpinningPump spinningPump;
    WaitTimingPump pump(
        pumpKind == PumpKind::sleeping ? static_cast<EventPump&>(sleepingPump) : spinningPump,
        clock);
    CountingBeeper beeper;
    OstavelWindow window(thisEdition, {random, clock, pump, beeper});
    auto* button = window.findChild<QPushButton*>(QString::fromUtf8(game.name));
    if (button == nullptr) {
        throw std::runtime_error("the window has no button " + std::string(game.name));
    }
    showAndWaitForFirstPaint(window);

    const double wallStart = monotonicSeconds();
    const double cpuStart = processCpuSeconds();
    const double queuedStart = runQueueWaitSeconds();
    button->click();  // the whole forecast, its waits dispatching the window's events
    ForecastFigures figures;
    figures.queuedSeconds = runQueueWaitSeconds() - queuedStart;
    figures.cpuSeconds = processCpuSeconds() - cpuStart;
    figures.wallSeconds = monotonicSeconds() - wallStart;
    figures.overshootMilliseconds = spreadOf(pump.overshootMilliseconds());
    figures.beeps = beeper.beeps;
    figures.outsideWaitsSeconds =
        figures.wallSeconds - std::chrono::duration<double>(pump.totalSlept()).count();
    return figures;
}

}  // namespace ostavel::bench
