// The benchmark's report: one row per game, the real pump beside the spinning baseline.
#include "bench/report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace ostavel::bench {

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

// Counts what it marks as missed.
struct Marker {
    int missed = 0;
    const char* operator()(bool met) {
        missed += met ? 0 : 1;
        return met ? "ok  " : "MISS";
    }
};

// The figures a row shows for one pump.
struct Figures {
    double durationRatio = 0;
    Spread late;  // overshoot, ms
    double cpuShare = 0;
};

Figures figuresOf(const ForecastFigures& f, const GameButton& game) {
    return {f.wallSeconds / game.leastSeconds(), f.overshootMilliseconds,
            f.cpuSeconds / f.wallSeconds};
}

void printHeader() {
    std::printf("%-10s %7s %5s | %-18s | %8s %6s | %-32s | %-27s | %s\n", "", "", "", "wall/least",
                "outside", "queued", "overshoot ms, sleep", "overshoot ms, spin", "CPU/wall");
    std::printf(
        "%-10s %7s %5s | %-11s %6s | %8s %6s | %-11s %6s %6s %6s | %6s %6s %6s %6s | %-11s %6s "
        "%6s\n",
        "game", "least s", "waits", "sleep", "spin", "waits ms", "ms", "mean", "p50", "p99", "max",
        "mean", "p50", "p99", "max", "sleep", "spin", "ratio");
}

void printRow(const GameRow& row, Marker& mark) {
    const Figures s = figuresOf(row.sleeping, row.game);
    const bool hasSpin = row.spinning.has_value();
    const Figures p = hasSpin ? figuresOf(*row.spinning, row.game) : Figures{};
    // A baseline figure, or a dash when the baseline was not run.
    const auto spin = [hasSpin](const char* pattern, double value) {
        return hasSpin ? format(pattern, value) : std::string("-");
    };
    std::printf(
        "%-10s %7.2f %5zu | %6.4f %-4s %6s | %8.2f %6.2f | %6.3f %-4s %6.3f %6.3f %6.3f | "
        "%6s %6s %6s %6s | %6.4f %-4s %6s %6s\n",
        row.game.title.data(), row.game.leastSeconds(), s.late.count, s.durationRatio,
        mark(s.durationRatio <= Targets::durationRatio), spin("%.4f", p.durationRatio).c_str(),
        row.sleeping.outsideWaitsSeconds * 1e3, row.sleeping.queuedSeconds * 1e3, s.late.mean,
        mark(s.late.mean < Targets::meanOvershootMs), s.late.median, s.late.p99, s.late.max,
        spin("%.3f", p.late.mean).c_str(), spin("%.3f", p.late.median).c_str(),
        spin("%.3f", p.late.p99).c_str(), spin("%.3f", p.late.max).c_str(), s.cpuShare,
        mark(s.cpuShare <= Targets::cpuShare), spin("%.3f", p.cpuShare).c_str(),
        spin("%.4f", s.cpuShare / p.cpuShare).c_str());
    if (row.sleeping.beeps != 1 || (hasSpin && row.spinning->beeps != 1)) {
        std::printf("  warning: %s did not beep exactly once\n", row.game.title.data());
    }
}

void printStartup(const StartupFigures& startup, double benchResidentMegabytes, Marker& mark) {
    const StartupRuns& ostavel = startup.ostavel;
    const StartupRuns& bare = startup.bareWindow;
    if (ostavel.milliseconds.empty()) {
        std::printf("first paint: not measured\n");
    } else {
        const double ratio = median(ostavel.milliseconds) / median(bare.milliseconds);
        std::printf(
            "first paint after process start, median of %zu runs: Ostavel %.1f ms, a bare window "
            "with one Japanese label %.1f ms; ratio %.2f  %s(target <= %.2f)\n",
            ostavel.milliseconds.size(), median(ostavel.milliseconds), median(bare.milliseconds),
            ratio, mark(ratio <= Targets::firstPaintRatio), Targets::firstPaintRatio);
        std::printf("peak resident memory at first paint, median: Ostavel %.1f MB, bare %.1f MB\n",
                    median(ostavel.residentMegabytes), median(bare.residentMegabytes));
    }
    std::printf("peak resident memory of the benchmark after all forecasts: %.1f MB\n",
                benchResidentMegabytes);
}

}  // namespace

void printReport(std::string_view platform, const std::vector<GameRow>& rows,
                 const StartupFigures& startup, double benchResidentMegabytes) {
    Marker mark;
    std::printf("\nOstavel benchmark on the \"%.*s\" platform\n", static_cast<int>(platform.size()),
                platform.data());
    std::printf(
        "sleep: the real pump; spin: a pump that never sleeps. Targets, for sleep: "
        "wall/least <= %.3f, mean overshoot < %.0f ms, CPU/wall <= %.2f\n"
        "outside waits: the forecast's own work between its waits; queued: time the forecast was "
        "ready to run but the machine's other work held the processor\n"
        "p99 is nearest-rank, so of "
        "fewer than 100 waits it is the largest\n\n",
        Targets::durationRatio, Targets::meanOvershootMs, Targets::cpuShare);
    printHeader();
    for (const GameRow& row : rows) {
        printRow(row, mark);
    }
    std::printf("\n");
    printStartup(startup, benchResidentMegabytes, mark);
    if (mark.missed == 0) {
        std::printf("targets: all met\n");
    } else {
        std::printf("targets missed: %d\n", mark.missed);
    }
}

}  // namespace ostavel::bench
