#include "app/web/webservices.h"

#include <emscripten.h>

#include <cmath>

#include "runtime/wakeup.h"

// The page's side of these calls is the object Ostavel of page.js.

// clang-format off
EM_JS(void, ostavel_set_caption, (int label, const char* text), {
    Ostavel.setCaption(label, UTF8ToString(text));
});
EM_JS(int, ostavel_take_press, (), {
    return Ostavel.takePress();
});
// Resolves after ms milliseconds, or at once when a press is queued; a negative ms waits for
// a press alone.
EM_ASYNC_JS(void, ostavel_sleep, (double ms), {
    await Ostavel.sleep(ms);
});
EM_JS(void, ostavel_beep, (), {
    Ostavel.beep();
});
// clang-format on

namespace ostavel::web {

namespace {

// How much earlier than the deadline the time-out is set: a browser counts it in whole
// milliseconds and fires it a fraction of a millisecond to two late.
constexpr Timer timerLead = std::chrono::milliseconds(2);

}  // namespace

void PageCaptions::setCaption(Label label, std::string_view text) {
    const std::string terminated(text);
    ostavel_set_caption(static_cast<int>(label), terminated.c_str());
}

Timer PerformanceClock::GetTimer() {
    return std::chrono::duration_cast<Timer>(
        std::chrono::duration<double, std::milli>(emscripten_get_now()));
}

void PagePump::DoEvents() {
    for (int press = ostavel_take_press(); press >= 0; press = ostavel_take_press()) {
        handler_(static_cast<Button>(press));
    }
}

void PagePump::WaitForEventsUntil(Timer deadline) {
    const Timer early = deadline - timerLead - clock_.GetTimer();
    if (early >= std::chrono::milliseconds(1)) {
        ostavel_sleep(std::floor(std::chrono::duration<double, std::milli>(early).count()));
        if (clock_.GetTimer() < deadline - timerLead) {
            return;  // a press came first, or the time-out fired early: the caller looks again
        }
    }
    WakeUpTimer::finish(clock_, deadline);
}

void PagePump::run() {
    for (;;) {
        ostavel_sleep(-1);
        DoEvents();
    }
}

void WebAudioBeeper::Beep() {
    ostavel_beep();
}

}  // namespace ostavel::web
