#pragma once

// Stand-ins for the window and the platform, so the forecasting core runs on a virtual clock:
// a whole forecast takes microseconds of real time and its timeline is exact.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/beeper.h"
#include "runtime/captions.h"
#include "runtime/clock.h"
#include "runtime/eventpump.h"
#include "runtime/random.h"

namespace ostavel::testing {

using namespace std::chrono_literals;

// Reads the virtual time; with a step, only in whole steps, like a coarse system clock.
class VirtualClock final : public Clock {
public:
    Timer GetTimer() override { return step == Timer::zero() ? now : now - now % step; }
    Timer now{};
    Timer step{};
};

// A pump whose sleep advances the virtual clock. Actions scheduled at a virtual time run when
// the pump reaches that time, inside the pump's call, as a button press runs inside a wait.
class VirtualPump final : public EventPump {
public:
    explicit VirtualPump(VirtualClock& clock) : clock_(clock) {}

    void DoEvents() override;
    void WaitForEventsUntil(Timer deadline) override;

    void at(Timer when, std::function<void()> action) {
        scheduled_.emplace(when, std::move(action));
    }
    // Called on every pump, after the scheduled actions; may inject presses of its own.
    std::function<void()> onEveryPump;

    int pumps = 0;   // calls of DoEvents
    int sleeps = 0;  // calls of WaitForEventsUntil
    // A sleep that would not move the clock still lets this much time pass, as a real
    // thread's would.
    Timer minimumSleep = 100us;

private:
    void runDue();

    VirtualClock& clock_;
    std::multimap<Timer, std::function<void()>> scheduled_;
};

// Hands out the given values in order; after them a fixed, evenly spread stream.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}

    void Randomize() override { ++randomizeCalls; }
    float RandomNext() override;

    // Appends values that make RandomInRange(upperbound, lowerbound) give these numbers.
    void queue(std::initializer_list<int> numbers, int upperbound, int lowerbound);
    // Appends count values that give anything at all.
    void skip(int count);

    int randomizeCalls = 0;
    int draws = 0;

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
};

// One thing the user sees happen: a caption written, or the beep.
struct Event {
    Timer time;
    std::string what;  // "L3=17" for a caption, "beep" for the beep
    bool operator==(const Event&) const = default;
};

class Recorder final : public Captions, public Beeper {
public:
    explicit Recorder(VirtualClock& clock) : clock_(clock) {}

    void setCaption(Label label, std::string_view text) override;
    void Beep() override;

    std::string caption(Label label) const;
    int beeps() const;

    std::vector<Event> events;

private:
    VirtualClock& clock_;
    std::map<Label, std::string> captions_;
};

std::string describe(const std::vector<Event>& events, std::size_t from, std::size_t count);

}  // namespace ostavel::testing
