#pragma once

#include <array>

#include "runtime/clock.h"

namespace ostavel {

// When to set a timer so that the thread runs again at a deadline, rather than a wake-up's
// latency after it (about 0.15 ms on a virtual machine, 0.6 ms under Wine, adding up over a
// forecast's waits). The machine's latency is learnt as the least of the last few timer
// wake-ups, and the timer set that much early; what is left when it fires, as a rule a few
// microseconds, is waited out on the clock.
class WakeUpTimer final {
public:
    // How long from now to set the timer for; zero when the deadline is nearer than the
    // latency, and the rest is for finish().
    Timer interval(Timer now, Timer deadline);
    // After the timer has woken the thread.
    void woke(Timer now);
    // Waits out the last moment before the deadline on the clock, yielding the processor.
    static void finish(Clock& clock, Timer deadline);

private:
    Timer lead() const;

    static constexpr Timer maxLead = std::chrono::milliseconds(2);
    std::array<Timer, 8> latencies_{};  // a ring; zero until learnt
    std::size_t next_ = 0;
    Timer expiry_{};
};

}  // namespace ostavel
