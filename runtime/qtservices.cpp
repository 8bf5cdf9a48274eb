#include "runtime/qtservices.h"

#include <QApplication>
#include <thread>

namespace ostavel {

QtEventPump::QtEventPump(Clock& clock) : clock_(clock) {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::WaitForEventsUntil(Timer deadline) {
    const Timer remaining = deadline - clock_.GetTimer();
    if (remaining <= Timer::zero()) {
        return;
    }
    const auto wholeMilliseconds = std::chrono::floor<std::chrono::milliseconds>(remaining);
    if (wholeMilliseconds.count() == 0) {
        std::this_thread::sleep_for(remaining);
        return;
    }
    // A button pressed now runs its forecast inside this call; that forecast's own waits
    // reuse the timer, which is harmless: the caller re-reads the clock either way.
    wakeUp_.start(wholeMilliseconds);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wakeUp_.stop();
}

void QtBeeper::Beep() {
    QApplication::beep();
}

}  // namespace ostavel
