#include "engine/busy_wait.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace {
// One step of the per-iteration work. The asm barrier keeps the compiler from folding the loop
// away or merging iterations: the wait must really burn the time it counts.
inline void spinStep(std::int64_t steps) {
    for (std::int64_t i = 0; i < steps; ++i)
        asm volatile("" ::: "memory");
}
} // namespace

void BusyWait::run(std::int64_t& counter, double limit) const {
    counter = 0;
    // The counter is the caller's field, read and written through a volatile view so that
    // every iteration really touches it.
    volatile std::int64_t& c = counter;
    while (static_cast<double>(c) < limit) {
        spinStep(work_);
        c = c + 1;
    }
    if (observer_)
        observer_(limit, counter);
}

BusyWait BusyWait::calibrated(double microseconds) {
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono_literals;
    // Times run() itself rather than a copy of its loop: how fast a tight loop runs depends on
    // where the compiler put it, so only the loop the delay units use tells its speed.
    constexpr std::int64_t kTrialWork = 1000;
    const BusyWait trial(kTrialWork);
    const auto secondsFor = [&trial](double iterations) {
        std::int64_t counter = 0;
        const auto start = Clock::now();
        trial.run(counter, iterations);
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    // A short probe sizes the samples to about a millisecond each: long enough that the clock's
    // resolution does not matter, short enough to fit between two interruptions.
    constexpr double kProbeIterations = 100;
    const double probeSeconds = secondsFor(kProbeIterations);
    const double sampleIterations =
        std::max(kProbeIterations, kProbeIterations * 1e-3 / probeSeconds);
    // Samples for about 25 ms and takes the median: a delay unit is interrupted and slowed as
    // often as the samples are, so the typical sample, not the best one, predicts its length
    // (with the fastest, 3000 iterations measured 32-34 ms on a shared machine, with the median
    // 30.0-30.4 ms).
    constexpr auto kBudget = 25ms;
    std::vector<double> samples;
    for (const auto start = Clock::now(); Clock::now() - start < kBudget;)
        samples.push_back(secondsFor(sampleIterations));
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    const double typical = *middle;
    const double stepsPerMicrosecond = kTrialWork * sampleIterations / (typical * 1e6);
    const auto work = static_cast<std::int64_t>(stepsPerMicrosecond * microseconds + 0.5);
    return BusyWait(work > 0 ? work : 1);
}
