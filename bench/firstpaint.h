// Start-up time: from the moment a process is started to the window's first paint, measured
// on child processes of the benchmark run in their --first-paint mode.
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

// The child's whole run: Qt and the real window, then, once the window has painted, one line
// "<CLOCK_MONOTONIC ns at the first paint> <peak resident kB>" on standard output.
int runFirstPaintChild(int argc, char* argv[]);

struct StartupFigures {
    std::vector<double> milliseconds;  // process start to first paint, per run
    std::vector<double> residentMegabytes;
};

// Starts this program in its --first-paint mode runs times, one after the other.
StartupFigures measureStartup(int runs);

}  // namespace ostavel::bench
