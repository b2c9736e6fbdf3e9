#include "engine/busy_wait.h"

#include <chrono>

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
    // Time a fixed number of steps, a few times, and keep the fastest: interruptions only ever
    // make a sample slower.
    constexpr std::int64_t kSteps = 200000;
    double best = 1e300;
    for (int sample = 0; sample < 5; ++sample) {
        const auto start = Clock::now();
        spinStep(kSteps);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds < best)
            best = seconds;
    }
    const double stepsPerMicrosecond = kSteps / (best * 1e6);
    const auto work = static_cast<std::int64_t>(stepsPerMicrosecond * microseconds + 0.5);
    return BusyWait(work > 0 ? work : 1);
}
