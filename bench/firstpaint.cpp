// Start-up time to the first paint, from the starting process's side and the child's.
#include "bench/firstpaint.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"
#include "app/windowlayout.h"
#include "bench/benchwindow.h"
#include "bench/measure.h"

extern char** environ;

namespace ostavel::bench {

// Far longer than any start-up: a platform that never paints fails instead of hanging.
constexpr std::chrono::seconds paintTimeout{10};

bool FirstPaintWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        onFirstPaint_();
    }
    return QObject::eventFilter(watched, event);
}

void showAndWaitForFirstPaint(QWidget& window) {
    QEventLoop loop;
    QTimer::singleShot(paintTimeout, &loop, &QEventLoop::quit);
    bool painted = false;
    FirstPaintWatcher watcher([&] {
        painted = true;
        loop.quit();
    });
    window.installEventFilter(&watcher);
    window.show();
    // Some platforms paint within show() already, before the loop would run.
    if (!painted) {
        loop.exec();
    }
    window.removeEventFilter(&watcher);
    if (!painted) {
        throw std::runtime_error("the window was never painted");
    }
}

namespace {

// The benchmark's measure of a plain Qt program: a window of Ostavel's size, one label.
std::unique_ptr<QWidget> bareWindow() {
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(layout::pixels(layout::clientArea).width,
                         layout::pixels(layout::clientArea).height);
    new QLabel(QStringLiteral("ロト6の予想です"), window.get());
    return window;
}

}  // namespace

int runFirstPaintChild(int argc, char* argv[], StartupSubject subject) {
    QApplication application(argc, argv);
    SeededRandom random;
    SteadyClock clock;
    QtEventPump pump(clock);
    CountingBeeper beeper;
    const std::unique_ptr<QWidget> window =
        subject == StartupSubject::ostavel
            ? std::make_unique<OstavelWindow>(thisEdition,
                                              WindowServices{random, clock, pump, beeper})
            : bareWindow();
    FirstPaintWatcher watcher([&] {
        // The paint has begun; it has ended, the window and every control drawn and the
        // picture decoded, when the event loop next turns.
        QTimer::singleShot(0, window.get(), [&] {
            const std::int64_t painted = monotonicNanoseconds();
            std::printf("%" PRId64 " %ld\n", painted, peakResidentKilobytes());
            std::fflush(stdout);
            QApplication::quit();
        });
    });
    window->installEventFilter(&watcher);
    QTimer::singleShot(paintTimeout, window.get(), [] { QCoreApplication::exit(1); });
    window->show();
    return QApplication::exec();
}

namespace {

// Runs the child once and returns its line, with the monotonic time just before it started.
std::string runChild(StartupSubject subject, std::int64_t& started) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    char program[] = "/proc/self/exe";
    char ostavelMode[] = "--first-paint";
    char bareMode[] = "--first-paint-bare";
    char* mode = subject == StartupSubject::ostavel ? ostavelMode : bareMode;
    char* childArgs[] = {program, mode, nullptr};
    pid_t child = 0;
    started = monotonicNanoseconds();
    const int failed = posix_spawn(&child, program, &actions, nullptr, childArgs, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string line;
    char buffer[256];
    for (ssize_t n; !failed && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        line.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    if (failed || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the --first-paint child failed");
    }
    return line;
}

}  // namespace

StartupFigures measureStartup(int runs) {
    StartupFigures figures;
    for (int i = 0; i < runs; ++i) {
        for (const StartupSubject subject : {StartupSubject::ostavel, StartupSubject::bareWindow}) {
            std::int64_t started = 0;
            const std::string line = runChild(subject, started);
            std::int64_t painted = 0;
            long residentKilobytes = 0;
            if (std::sscanf(line.c_str(), "%" SCNd64 " %ld", &painted, &residentKilobytes) != 2) {
                throw std::runtime_error("the --first-paint child said: " + line);
            }
            StartupRuns& runsOf =
                subject == StartupSubject::ostavel ? figures.ostavel : figures.bareWindow;
            runsOf.milliseconds.push_back(static_cast<double>(painted - started) * 1e-6);
            runsOf.residentMegabytes.push_back(static_cast<double>(residentKilobytes) / 1024);
        }
    }
    return figures;
}

}  // namespace ostavel::bench
