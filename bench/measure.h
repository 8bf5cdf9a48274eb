// Readings and statistics of the benchmark: the monotonic and processor clocks, peak memory,
// and how late the paced waits end.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/clock.h"
#include "runtime/eventpump.h"

namespace ostavel::bench {

// CLOCK_MONOTONIC, which every process of the machine reads alike.
std::int64_t monotonicNanoseconds();
double monotonicSeconds();
// Processor time of the whole process, all threads.
double processCpuSeconds();
// Time this thread has spent ready to run but waiting for a processor, which the machine's
// other work costs it (0 where the kernel does not keep the figure).
double runQueueWaitSeconds();
// Largest resident set of this process so far.
long peakResidentKilobytes();

struct Spread {
    std::size_t count = 0;
    double median = 0;
    double mean = 0;
    double p99 = 0;  // nearest rank
    double max = 0;
};

Spread spreadOf(std::vector<double> values);
double median(std::vector<double> values);

// Measures each paced wait from outside, through the event pump it sleeps in: a wait sleeps
// until its deadline, and the first time the clock reads at or past a deadline after a sleep,
// that wait has ended; how far past is its overshoot.
class WaitTimingPump final : public EventPump {
public:
    WaitTimingPump(EventPump& pump, Clock& clock) : pump_(pump), clock_(clock) {}

    void DoEvents() override { pump_.DoEvents(); }
    void WaitForEventsUntil(Timer deadline) override;

    const std::vector<double>& overshootMilliseconds() const { return milliseconds_; }
    // All the time the waits slept.
    Timer totalSlept() const { return slept_; }

private:
    EventPump& pump_;
    Clock& clock_;
    Timer lastDeadline_{-1};
    std::vector<double> milliseconds_;
    Timer slept_{};
};

}  // namespace ostavel::bench
