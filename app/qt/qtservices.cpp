#include "app/qt/qtservices.h"

#include <QApplication>

#include <thread>
#include "app/qt/soundthemebeeper.h"

namespace ostavel {

QtEventPump::QtEventPump(Clock& clock) : clock_(clock) {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::WaitForEventsUntil(Timer deadline) {
    using namespace std::chrono_literals;
    // Timers and sleeps wake up a little late (timer slack, scheduling), so the event loop
    // sleeps until shortly before the deadline, the thread then sleeps all but the last
    // moment, and that moment is waited out closely: a frame ends on time, not a tick late.
    constexpr Timer timerLead = 500us;
    constexpr Timer sleepLead = 200us;
    const Timer remaining = deadline - clock_.GetTimer();
    const auto wholeMilliseconds =
        std::chrono::floor<std::chrono::milliseconds>(remaining - timerLead);
    if (wholeMilliseconds.count() > 0) {
        // A button pressed now runs its forecast inside this call; that forecast's own waits
        // reuse the timer, which is harmless: the caller re-reads the clock either way.
        wakeUp_.start(wholeMilliseconds);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        wakeUp_.stop();
        return;
    }
    if (remaining > sleepLead) {
        std::this_thread::sleep_for(remaining - sleepLead);
    }
    while (clock_.GetTimer() < deadline) {
        std::this_thread::yield();
    }
}

void QtBeeper::Beep() {
    QApplication::beep();
}

std::unique_ptr<Beeper> makeSystemBeeper(const QString& appId) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return std::make_unique<SoundThemeBeeper>(appId);
    }
    return std::make_unique<QtBeeper>();
}

}  // namespace ostavel
