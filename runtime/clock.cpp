#include "runtime/clock.h"

namespace ostavel {

Timer SteadyClock::GetTimer() {
    return std::chrono::duration_cast<Timer>(std::chrono::steady_clock::now() - origin_);
}

}  // namespace ostavel
