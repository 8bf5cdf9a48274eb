// The benchmark program: every game's forecast in the real window and event loop, on the real
// pump and on a spinning one, then start-up time and memory; prints the report.
//
//   ostavel_bench [--games roto6,Numbers3] [--no-baseline] [--startup-runs N]
//   ostavel_bench --first-paint | --first-paint-bare   (the children whose start-up is measured)
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "bench/firstpaint.h"
#include "bench/forecastrun.h"
#include "bench/report.h"
#include "bench/runtimedirectory.h"

namespace {

using namespace ostavel::bench;

struct Options {
    std::vector<GameButton> games{gameButtons.begin(), gameButtons.end()};
    bool baseline = true;
    int startupRuns = 5;
    std::optional<StartupSubject> firstPaintChild;
};

// The games whose buttons a comma-separated list names.
std::vector<GameButton> gamesNamed(std::string_view list) {
    std::vector<std::string_view> names;
    for (std::size_t start = 0, comma = 0; comma != std::string_view::npos; start = comma + 1) {
        comma = list.find(',', start);
        names.push_back(list.substr(start, comma - start));
    }
    std::vector<GameButton> games;
    for (const GameButton& game : gameButtons) {
        if (std::find(names.begin(), names.end(), game.name) != names.end()) {
            games.push_back(game);
        }
    }
    return games;
}

bool parse(int argc, char* argv[], Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--first-paint") {
            options.firstPaintChild = StartupSubject::ostavel;
        } else if (argument == "--first-paint-bare") {
            options.firstPaintChild = StartupSubject::bareWindow;
        } else if (argument == "--no-baseline") {
            options.baseline = false;
        } else if (argument == "--games" && hasValue) {
            options.games = gamesNamed(argv[++i]);
        } else if (argument == "--startup-runs" && hasValue) {
            options.startupRuns = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return !options.games.empty() && options.startupRuns >= 0;
}

std::vector<GameRow> measureGames(const Options& options) {
    std::vector<GameRow> rows;
    for (const GameButton& game : options.games) {
        GameRow row{game, measureForecast(game, PumpKind::sleeping), {}};
        if (options.baseline) {
            row.spinning = measureForecast(game, PumpKind::spinning);
        }
        rows.push_back(row);
    }
    return rows;
}

int runBenchmark(int argc, char* argv[], const Options& options) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<GameRow> rows;
    // Pressed from inside the running event loop, as a click on the button would be.
    QTimer::singleShot(0, &application, [&] {
        rows = measureGames(options);
        QApplication::quit();
    });
    QApplication::exec();
    const double residentMegabytes = static_cast<double>(peakResidentKilobytes()) / 1024;
    const StartupFigures startup = measureStartup(options.startupRuns);
    // A missed target is a figure to read, not a failure of the run.
    printReport(QGuiApplication::platformName().toStdString(), rows, startup, residentMegabytes);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--games roto6,miniroto,Numbers3,Numbers4] [--no-baseline] "
                     "[--startup-runs N]\n",
                     argv[0]);
        return 2;
    }
    try {
        const PrivateRuntimeDirectory runtimeDirectory;
        return options.firstPaintChild ? runFirstPaintChild(argc, argv, *options.firstPaintChild)
                                       : runBenchmark(argc, argv, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ostavel_bench: %s\n", error.what());
        return 1;
    }
}
