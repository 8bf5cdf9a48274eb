#pragma once

// The core's platform services in a web page: captions into the page's elements, the clock on
// performance.now(), the event pump on the presses the page's script queues and a time-out kept
// by a Web Worker, the beep through Web Audio. The script's side is page.js.

#include <functional>

#include "forecast/games.h"
#include "runtime/beeper.h"
#include "runtime/captions.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"

namespace ostavel::web {

// The text of the label elements, which the page names after their labels.
class PageCaptions final : public Captions {
public:
    void setCaption(Label label, std::string_view text) override;
};

// performance.now(): monotonic, in microseconds or finer.
class PerformanceClock final : public Clock {
public:
    Timer GetTimer() override;
};

// The page's event loop as the core sees it. A press never calls into the program while it
// sleeps, which would lose the sleeping forecast: the script queues it and wakes the one
// pending wait, and DoEvents, back inside the program, takes it from the queue and runs its
// forecast nested there, as on the desktop.
class PagePump final : public EventPump {
public:
    explicit PagePump(Clock& clock) : clock_(clock) {}

    // What a press does: the forecast of its button.
    void setHandler(std::function<void(Button)> handler) { handler_ = std::move(handler); }

    void DoEvents() override;
    // Sleeps on a time-out set a little early, since the page's timers count in whole
    // milliseconds, and waits out the rest on the clock. A press ends it early.
    void WaitForEventsUntil(Timer deadline) override;

    // The idle loop: sleeps with no timer until a press comes, runs it, and so on for as long
    // as the page is open.
    [[noreturn]] void run();

private:
    Clock& clock_;
    std::function<void(Button)> handler_;
};

// A short tone through Web Audio; the page's script makes the audio context on the first
// press, as browsers allow sound only after a gesture, and suspends it between beeps. It also
// has the forecast's numbers read out once, now that they stand.
class WebAudioBeeper final : public Beeper {
public:
    void Beep() override;
};

}  // namespace ostavel::web
