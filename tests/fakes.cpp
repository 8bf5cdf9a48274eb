#include "tests/fakes.h"

#include <algorithm>

namespace ostavel::testing {

void VirtualPump::runDue() {
    while (!scheduled_.empty() && scheduled_.begin()->first <= clock_.now) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
    if (onEveryPump) {
        onEveryPump();
    }
}

void VirtualPump::DoEvents() {
    ++pumps;
    runDue();
}

void VirtualPump::WaitForEventsUntil(Timer deadline) {
    ++sleeps;
    if (clock_.GetTimer() >= deadline) {
        return;
    }
    const bool eventFirst = !scheduled_.empty() && scheduled_.begin()->first < deadline;
    // A sleep lets some time pass, as a real thread's does, so that a coarse clock still moves.
    clock_.now = std::max(clock_.now + 100us, eventFirst ? scheduled_.begin()->first : deadline);
    if (eventFirst) {
        runDue();
    }
}

float ScriptedRandom::RandomNext() {
    ++draws;
    if (next_ < values_.size()) {
        return values_[next_++];
    }
    const double golden = static_cast<double>(++next_) * 0.6180339887498949;
    return static_cast<float>(golden - static_cast<double>(static_cast<long long>(golden)));
}

void ScriptedRandom::queue(const std::vector<int>& numbers, int upperbound, int lowerbound) {
    const float n = static_cast<float>(upperbound - lowerbound + 1);
    for (int number : numbers) {
        values_.push_back((static_cast<float>(number - lowerbound) + 0.5f) / n);
    }
}

void Recorder::setCaption(Label label, std::string_view text) {
    captions_[label] = std::string(text);
    events.push_back({clock_.now, writeOf(static_cast<int>(label)) + captions_[label]});
}

int Recorder::beeps() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const Event& e) { return e.what == "beep"; }));
}

}  // namespace ostavel::testing
