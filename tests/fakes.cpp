#include "tests/fakes.h"

#include <algorithm>
#include <sstream>

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
    const Timer before = clock_.now;
    const bool earlierEvent = !scheduled_.empty() && scheduled_.begin()->first < deadline;
    const Timer wakeUp = earlierEvent ? scheduled_.begin()->first : deadline;
    clock_.now = std::max(clock_.now, wakeUp);
    if (clock_.now == before) {
        clock_.now += minimumSleep;
    }
    if (earlierEvent) {
        runDue();
    }
}

float ScriptedRandom::RandomNext() {
    ++draws;
    if (next_ < values_.size()) {
        return values_[next_++];
    }
    // The golden-ratio sequence covers [0, 1) evenly without repeating soon.
    ++next_;
    const double value = static_cast<double>(next_) * 0.6180339887498949;
    return static_cast<float>(value - static_cast<double>(static_cast<long long>(value)));
}

void ScriptedRandom::queue(std::initializer_list<int> numbers, int upperbound, int lowerbound) {
    const float n = static_cast<float>(upperbound - lowerbound + 1);
    for (int number : numbers) {
        values_.push_back((static_cast<float>(number - lowerbound) + 0.5f) / n);
    }
}

void ScriptedRandom::skip(int count) {
    values_.insert(values_.end(), static_cast<std::size_t>(count), 0.25f);
}

void Recorder::setCaption(Label label, std::string_view text) {
    captions_[label] = std::string(text);
    events.push_back(
        {clock_.now, "L" + std::to_string(static_cast<int>(label)) + "=" + std::string(text)});
}

void Recorder::Beep() {
    events.push_back({clock_.now, "beep"});
}

std::string Recorder::caption(Label label) const {
    const auto found = captions_.find(label);
    return found == captions_.end() ? std::string() : found->second;
}

int Recorder::beeps() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const Event& e) { return e.what == "beep"; }));
}

std::string describe(const std::vector<Event>& events, std::size_t from, std::size_t count) {
    std::ostringstream out;
    for (std::size_t i = from; i < std::min(events.size(), from + count); ++i) {
        out << "  #" << i << " "
            << std::chrono::duration_cast<std::chrono::microseconds>(events[i].time).count()
            << " us " << events[i].what << "\n";
    }
    return out.str();
}

}  // namespace ostavel::testing
