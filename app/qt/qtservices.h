#pragma once

#include <QString>
#include <QTimer>
#include <memory>

#include "runtime/beeper.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"

namespace ostavel {

// The event pump of a Qt application's main thread.
class QtEventPump final : public EventPump {
public:
    explicit QtEventPump(Clock& clock);

    void DoEvents() override;
    // Sleeps in the event loop itself (a precise timer wakes it just before the deadline,
    // any window event earlier); the last fraction of a millisecond, below a timer's
    // resolution, is slept by the thread.
    void WaitForEventsUntil(Timer deadline) override;

private:
    Clock& clock_;
    QTimer wakeUp_;
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
