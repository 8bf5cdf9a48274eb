// Readings and statistics of the benchmark: the monotonic and processor clocks, peak memory,
// and how late the paced waits end.
#pragma once

#include <cstdint>
#include <vector>

#include "reels/pacedwait.h"

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

// Collects, for every finished wait, how far it overran its delay.
class OvershootRecorder final : public WaitObserver {
public:
    void waitFinished(Timer delay, Timer elapsed) override;
    const std::vector<double>& milliseconds() const { return milliseconds_; }
    // All the time the waits took.
    Timer totalElapsed() const { return totalElapsed_; }

private:
    std::vector<double> milliseconds_;
    Timer totalElapsed_{};
};

}  // namespace ostavel::bench
