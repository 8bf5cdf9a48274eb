// Readings and statistics of the benchmark.
#include "bench/measure.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <numeric>
#include <string>

namespace ostavel::bench {

namespace {

std::int64_t nanosecondsOf(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

std::int64_t monotonicNanoseconds() {
    return nanosecondsOf(CLOCK_MONOTONIC);
}

double monotonicSeconds() {
    return static_cast<double>(monotonicNanoseconds()) * 1e-9;
}

double processCpuSeconds() {
    return static_cast<double>(nanosecondsOf(CLOCK_PROCESS_CPUTIME_ID)) * 1e-9;
}

double runQueueWaitSeconds() {
    // The second of its three figures: nanoseconds spent waiting on a run queue.
    std::ifstream schedstat("/proc/thread-self/schedstat");
    unsigned long long running = 0;
    unsigned long long waiting = 0;
    schedstat >> running >> waiting;
    return static_cast<double>(waiting) * 1e-9;
}

long peakResidentKilobytes() {
    // The high-water mark of this program image's own memory: getrusage's maxrss would carry
    // over the parent's peak into a child started by posix_spawn.
    std::ifstream status("/proc/self/status");
    long kilobytes = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            kilobytes = std::stol(line.substr(6));
        }
    }
    return kilobytes;
}

Spread spreadOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(n)));
    return {n, median(values),
            std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(n),
            values[std::max<std::size_t>(rank, 1) - 1], values.back()};
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void WaitTimingPump::WaitForEventsUntil(Timer deadline) {
    const Timer before = clock_.GetTimer();
    pump_.WaitForEventsUntil(deadline);
    const Timer after = clock_.GetTimer();
    slept_ += after - before;
    if (after >= deadline && deadline != lastDeadline_) {
        lastDeadline_ = deadline;
        milliseconds_.push_back(
            std::chrono::duration<double, std::milli>(after - deadline).count());
    }
}

}  // namespace ostavel::bench
