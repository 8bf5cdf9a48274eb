#include "app/qt/qtservices.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <cstdint>

#include "app/qt/soundthemebeeper.h"

namespace ostavel {

QtEventPump::QtEventPump(Clock& clock)
    : clock_(clock),
      timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
      notifier_(timer_, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
        std::uint64_t expirations = 0;  // read, so that the loop does not wake for it again
        fired_ = read(timer_, &expirations, sizeof expirations) > 0;
    });
}

QtEventPump::~QtEventPump() {
    notifier_.setEnabled(false);
    close(timer_);
}

void QtEventPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::WaitForEventsUntil(Timer deadline) {
    const Timer interval = wakeUp_.interval(clock_.GetTimer(), deadline);
    if (interval <= Timer{}) {
        WakeUpTimer::finish(clock_, deadline);
        return;
    }
    const auto seconds = std::chrono::floor<std::chrono::seconds>(interval);
    itimerspec when{};
    when.it_value = {static_cast<time_t>(seconds.count()),
                     static_cast<long>((interval - seconds).count())};
    // A button pressed now runs its forecast inside this call; that forecast's own waits
    // reuse the timer, which is harmless: the caller re-reads the clock either way.
    timerfd_settime(timer_, 0, &when, nullptr);
    fired_ = false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (fired_) {
        wakeUp_.woke(clock_.GetTimer());
    } else {  // another event came first
        const itimerspec disarmed{};
        timerfd_settime(timer_, 0, &disarmed, nullptr);
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
