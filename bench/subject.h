// What the benchmark's subject programs share, whichever toolkit draws their window: the mode
// they are started in, the timeline a floor replays, the waits they time, and the lines they
// exchange with the measuring script (bench/run-bench), which reads their processor time and
// memory from outside.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/windowlayout.h"
#include "forecast/games.h"
#include "runtime/beeper.h"
#include "runtime/captions.h"
#include "runtime/eventpump.h"

namespace ostavel::bench {

// One caption a forecast writes, at its time from the press of the button.
struct CaptionWrite {
    Timer at;
    Label label;
    std::string text;
};

struct Timeline {
    std::vector<CaptionWrite> writes;
    Timer end;  // the forecast's last wait is over
};

// What a press of the button writes and when: the core run on a virtual clock.
Timeline recordTimeline(Button button);

// Times each paced wait from outside, through the event pump it sleeps in: the first time the
// clock reads at or past a deadline after a sleep, that wait has ended, that far past it.
class WaitTimingPump final : public EventPump {
public:
    WaitTimingPump(EventPump& pump, Clock& clock) : pump_(pump), clock_(clock) {}

    void DoEvents() override { pump_.DoEvents(); }
    void WaitForEventsUntil(Timer deadline) override;

    const std::vector<Timer>& overshoots() const { return overshoots_; }

private:
    EventPump& pump_;
    Clock& clock_;
    Timer lastDeadline_{-1};
    std::vector<Timer> overshoots_;
};

class CountingBeeper final : public Beeper {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

// A subject's window and event loop, in one toolkit.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual Clock& clock() = 0;
    // The event pump the programs run on.
    virtual EventPump& pump() = 0;
    // Builds the Ostavel window on these services and shows it; returns once it has painted.
    virtual void showOstavel(EventPump& pump, Beeper& beeper) = 0;
    // A window of the same size with one Japanese label: what any program of the toolkit costs.
    virtual void showBare() = 0;
    // Presses the game's button, a row of the window table: the whole forecast runs before
    // it returns.
    virtual void click(const layout::Control& button) = 0;
    // Writes the timeline's captions into the Ostavel window at their times from now, each
    // from a timer of the toolkit's event loop; returns at the timeline's end.
    virtual void replay(const Timeline& timeline) = 0;
};

// The subject's run in the mode its arguments name (see run-bench); its exit code.
int runSubject(std::span<char*> arguments, Toolkit& toolkit);

}  // namespace ostavel::bench
