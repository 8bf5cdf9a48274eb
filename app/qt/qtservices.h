#pragma once

#include <QSocketNotifier>
#include <QString>
#include <memory>

#include "runtime/beeper.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"
#include "runtime/wakeup.h"

namespace ostavel {

// The event pump of a Qt application's main thread.
class QtEventPump final : public EventPump {
public:
    explicit QtEventPump(Clock& clock);
    ~QtEventPump() override;
    QtEventPump(const QtEventPump&) = delete;
    QtEventPump& operator=(const QtEventPump&) = delete;

    void DoEvents() override;
    // Sleeps in the event loop itself, until a window event or the deadline: a timer file
    // descriptor, set to the nanosecond, wakes the loop once, on time, where Qt's timers
    // count in whole milliseconds and would end each wait up to one late.
    void WaitForEventsUntil(Timer deadline) override;

private:
    Clock& clock_;
    int timer_;  // a timerfd on CLOCK_MONOTONIC
    QSocketNotifier notifier_;
    bool fired_ = false;
    WakeUpTimer wakeUp_;
};

// The display server's bell: on X the desktop turns it into the user's alert sound, or a
// flash for those who asked for one.
class QtBeeper final : public Beeper {
public:
    void Beep() override;
};

// The beep of the platform the application runs on, chosen once: Wayland has no bell, so
// there the sound theme's bell is played instead. appId names the program to the desktop.
std::unique_ptr<Beeper> makeSystemBeeper(const QString& appId);

}  // namespace ostavel
