#include "runtime/wakeup.h"

#include <algorithm>
#include <thread>

namespace ostavel {

Timer WakeUpTimer::lead() const {
    return std::min(*std::min_element(latencies_.begin(), latencies_.end()), maxLead);
}

Timer WakeUpTimer::interval(Timer now, Timer deadline) {
    expiry_ = deadline - lead();
    return std::max(expiry_ - now, Timer{});
}

void WakeUpTimer::woke(Timer now) {
    // A wake-up before the time set (a timer that carried an old signal) says nothing of the
    // latency, and would take the lead away for the next few waits.
    if (now < expiry_) {
        return;
    }
    latencies_[next_] = now - expiry_;
    next_ = (next_ + 1) % latencies_.size();
}

void WakeUpTimer::finish(Clock& clock, Timer deadline) {
    while (clock.GetTimer() < deadline) {
        std::this_thread::yield();
    }
}

}  // namespace ostavel
