#pragma once

#include "runtime/clock.h"

namespace ostavel {

// The window's event queue, as seen by code that runs inside an event handler. Everything
// runs on one thread: a button pressed while events are dispatched runs its handler, and
// with it a whole forecast, before these calls return.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Dispatches every pending window event (repaints, input), then returns.
    virtual void DoEvents() = 0;

    // Sleeps until a window event arrives, and dispatches it, or until the clock reaches
    // deadline, whichever comes first. It may return early; callers re-read the clock.
    virtual void WaitForEventsUntil(Timer deadline) = 0;
};

}  // namespace ostavel
