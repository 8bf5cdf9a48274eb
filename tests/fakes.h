#pragma once

// Stand-ins for the window and the platform, so the forecasting core runs on a virtual clock:
// a whole forecast takes microseconds of real time and its timeline is exact.

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forecast/forecasts.h"

namespace ostavel::testing {

using namespace std::chrono_literals;

// Reads the virtual time: with a step, only in whole steps, like a coarse system clock; with a
// tick, the time moves on by it after every reading.
struct VirtualClock final : Clock {
    Timer GetTimer() override {
        const Timer reading = step == Timer::zero() ? now : now - now % step;
        now += tick;
        return reading;
    }
    Timer now{}, step{}, tick{};
};

// A pump whose sleep advances the virtual clock. Actions scheduled at a virtual time run when
// the pump reaches it, inside the pump's call, as a button press runs inside a wait.
struct VirtualPump final : EventPump {
    explicit VirtualPump(VirtualClock& clock) : clock(clock) {}
    void DoEvents() override {
        ++pumps;
        runDue();
    }
    void WaitForEventsUntil(Timer deadline) override {
        if (clock.GetTimer() >= deadline) {
            return;
        }
        const bool eventFirst = !scheduled.empty() && scheduled.begin()->first < deadline;
        // A sleep lets some time pass, as a real thread's does, so that a coarse clock moves.
        clock.now = std::max(clock.now + 100us, eventFirst ? scheduled.begin()->first : deadline);
        runDue();
    }
    void runDue() {
        while (!scheduled.empty() && scheduled.begin()->first <= clock.now) {
            auto action = std::move(scheduled.begin()->second);
            scheduled.erase(scheduled.begin());
            action();
        }
    }
    void at(Timer when, std::function<void()> action) { scheduled.emplace(when, action); }

    VirtualClock& clock;
    std::multimap<Timer, std::function<void()>> scheduled;
    int pumps = 0;  // calls of DoEvents
};

// Hands out the queued values in order, then an evenly spread stream: i times an odd number
// near 2^24 over the golden ratio, modulo 2^24, in 2^24ths, so any 2^24 draws in a row give
// each of the 2^24 values RandomNext can give once.
struct ScriptedRandom final : RandomSource {
    void Randomize() override { onRandomize(); }
    float RandomNext() override { return next < values.size() ? values[next++] : spread(++next); }
    static float spread(std::size_t i) { return float(i * 0x9E3779 % 0x1000000) * 0x1p-24f; }
    // Queues values that make RandomInRange(upperbound, lowerbound) give these numbers.
    void queue(const auto& numbers, int upperbound, int lowerbound) {
        for (int number : numbers) {
            values.push_back(static_cast<float>(number - lowerbound + 0.5) /
                             static_cast<float>(upperbound - lowerbound + 1));
        }
    }

    std::vector<float> values;
    std::size_t next = 0;  // how many values were drawn
    std::function<void()> onRandomize = [] {};
};

// One thing the user sees happen: "L3=17" for a caption written, "beep" for the beep.
struct Event {
    Timer time;
    std::string what;
};

struct Recorder final : Captions, Beeper {
    explicit Recorder(VirtualClock& clock) : clock(clock) {}
    void setCaption(Label label, std::string_view text) override {
        captions[label] = text;
        events.push_back({clock.now, ('L' + std::to_string(int(label)) + '=').append(text)});
    }
    void Beep() override { events.push_back({clock.now, "beep"}); }
    int beeps() const { return int(std::ranges::count(events, std::string("beep"), &Event::what)); }

    VirtualClock& clock;
    std::map<Label, std::string> captions;
    std::vector<Event> events;
};

// Everything the core reaches, on the virtual clock, and the forecasts over it.
struct Rig {
    VirtualClock clock;
    VirtualPump pump{clock};
    Pacer pacer{clock, pump};
    Recorder recorder{clock};
    ScriptedRandom random;
    Forecasts forecasts{{recorder, random, recorder, pacer}};
};

}  // namespace ostavel::testing

#ifdef QT_CORE_LIB  // the Qt tests also read what they must see from tests/expected.json
#include <QtCore>

namespace ostavel::testing {

// What tests/expected.json, written by hand, says the window, the games and the remarks are.
inline const QJsonObject expected = [] {
    QFile file(QStringLiteral(OSTAVEL_TESTS_DIR "/expected.json"));
    return QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
}();

// A game of tests/expected.json: its range, count of numbers and least running time, that of
// its last reveal.
struct ExpectedGame {
    int lowest, highest, count;
    Timer least;
};
inline ExpectedGame expectedGame(Button button) {
    const char* const names[] = {"miniroto", "roto6", "Numbers3", "Numbers4"};  // as Button
    const QJsonValue g = expected["games"][names[static_cast<int>(button)]];
    return {g["lowest"].toInt(), g["highest"].toInt(), g["count"].toInt(),
            std::chrono::round<Timer>(
                std::chrono::duration<double>(g["reveals"][g["count"].toInt() - 1].toDouble()))};
}

}  // namespace ostavel::testing
#endif
