// Start-up time: from the moment a process is started to the window's first paint, measured
// on child processes of the benchmark run in their --first-paint modes: the Ostavel window,
// and beside it a bare window of the same size with one Japanese label, so that the figure
// that matters, their ratio, means the same on any machine and platform.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QWidget;

namespace ostavel::bench {

// Calls back once, when the widget it filters receives its first paint event.
class FirstPaintWatcher final : public QObject {
public:
    explicit FirstPaintWatcher(std::function<void()> onFirstPaint)
        : onFirstPaint_(std::move(onFirstPaint)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onFirstPaint_;
    bool seen_ = false;
};

// Shows the window and dispatches events until it has been painted once.
void showAndWaitForFirstPaint(QWidget& window);

enum class StartupSubject { ostavel, bareWindow };

// The child's whole run: Qt and the subject's window, then, once the window has painted, one
// line "<CLOCK_MONOTONIC ns once the first paint is done> <peak resident kB>" on standard output.
int runFirstPaintChild(int argc, char* argv[], StartupSubject subject);

struct StartupRuns {
    std::vector<double> milliseconds;  // process start to first paint, per run
    std::vector<double> residentMegabytes;
};

struct StartupFigures {
    StartupRuns ostavel;
    StartupRuns bareWindow;
};

// Starts this program in each --first-paint mode runs times, the two modes taking turns.
StartupFigures measureStartup(int runs);

}  // namespace ostavel::bench
