#pragma once

#include "runtime/clock.h"
#include "runtime/eventpump.h"

namespace ostavel {

// The animation's only way of letting time pass. A wait lasts until the clock shows that its
// delay has passed, and window events are dispatched meanwhile, so that captions written
// before it are painted and a button pressed during it runs its forecast nested inside it.
// It does not keep the processor busy: between readings it dispatches the pending events and
// then sleeps until the next window event or its deadline.
//
// Once the window has closed (stop()), every wait returns at once, so that forecasts
// running at any depth unwind without waiting out their timelines.
class Pacer final {
public:
    Pacer(Clock& clock, EventPump& pump) : clock_(clock), pump_(pump) {}

    void PacedWait(Timer delay);

    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

private:
    Clock& clock_;
    EventPump& pump_;
    bool stopped_ = false;
};

}  // namespace ostavel
