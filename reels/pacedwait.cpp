#include "reels/pacedwait.h"

namespace ostavel {

void Pacer::PacedWait(Timer delay) {
    const Timer start = clock_.GetTimer();
    Timer elapsed = clock_.GetTimer() - start;
    // The test comes before the first pump: a clock that already shows the whole delay ends
    // the wait without dispatching anything, one that has not moved dispatches at least once.
    while (elapsed < delay && !stopped_) {
        pump_.DoEvents();
        // The events just dispatched may have closed the window.
        if (!stopped_) {
            pump_.WaitForEventsUntil(start + delay);
        }
        elapsed = clock_.GetTimer() - start;
    }
}

}  // namespace ostavel
