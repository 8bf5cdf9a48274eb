#pragma once

#include <QTimer>

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

class QtBeeper final : public Beeper {
public:
    void Beep() override;
};

}  // namespace ostavel
