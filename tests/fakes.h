#pragma once

// Stand-ins for the window and the platform, so the forecasting core runs on a virtual clock:
// a whole forecast takes microseconds of real time and its timeline is exact.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "reels/pacedwait.h"
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
// the pump reaches it, inside the pump's call, as a button press runs inside a wait.
class VirtualPump final : public EventPump {
public:
    explicit VirtualPump(VirtualClock& clock) : clock_(clock) {}
    void DoEvents() override;
    void WaitForEventsUntil(Timer deadline) override;
    void at(Timer when, std::function<void()> action) {
        scheduled_.emplace(when, std::move(action));
    }

    std::function<void()> onEveryPump;  // runs on every dispatch; may press buttons itself
    int pumps = 0;                      // calls of DoEvents
    int sleeps = 0;                     // calls of WaitForEventsUntil

private:
    void runDue();
    VirtualClock& clock_;
    std::multimap<Timer, std::function<void()>> scheduled_;
};

// Hands out the queued values in order, then an evenly spread stream.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    void Randomize() override {
        if (onRandomize) {
            onRandomize();
        }
    }
    float RandomNext() override;
    // Queues values that make RandomInRange(upperbound, lowerbound) give these numbers.
    void queue(const std::vector<int>& numbers, int upperbound, int lowerbound);
    void skip(int count) { values_.insert(values_.end(), static_cast<std::size_t>(count), 0.25f); }

    std::function<void()> onRandomize;
    int draws = 0;

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
};

// One thing the user sees happen: "L3=17" for a caption written, "beep" for the beep.
struct Event {
    Timer time;
    std::string what;
};

// "L3=", how an event of label 3 begins.
inline std::string writeOf(int label) {
    return {'L', static_cast<char>('0' + label), '='};
}

class Recorder final : public Captions, public Beeper {
public:
    explicit Recorder(VirtualClock& clock) : clock_(clock) {}
    void setCaption(Label label, std::string_view text) override;
    void Beep() override { events.push_back({clock_.now, "beep"}); }
    std::string caption(Label label) const {
        return captions_.count(label) ? captions_.at(label) : "";
    }
    int beeps() const;

    std::vector<Event> events;

private:
    VirtualClock& clock_;
    std::map<Label, std::string> captions_;
};

// Everything the core reaches, on the virtual clock.
struct VirtualWorld {
    VirtualClock clock;
    VirtualPump pump{clock};
    Pacer pacer{clock, pump};
    Recorder recorder{clock};
    ScriptedRandom random;
};

}  // namespace ostavel::testing
