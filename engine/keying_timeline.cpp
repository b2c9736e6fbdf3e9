#include "engine/keying_timeline.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

std::int64_t SteadyClock::nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
// Iterations a delay unit at `limit` counts; capped where the nanoseconds would overflow, far
// beyond any silence a learner could wait for.
std::int64_t iterationsFor(double limit) {
    constexpr double kMost =
        double(std::numeric_limits<std::int64_t>::max() / 2 / KeyingTimeline::kIterationNs);
    if (!(limit > 0))
        return 0;
    return static_cast<std::int64_t>(std::ceil(std::min(limit, kMost)));
}

inline void spinPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    asm volatile("" ::: "memory");
#endif
}
} // namespace

std::int64_t KeyingTimeline::unitNs(double limit) {
    return iterationsFor(limit) * kIterationNs;
}

std::int64_t KeyingTimeline::nextStart(std::int64_t allowedLateNs) {
    const std::int64_t now = clock_.nowNs();
    if (!running_ || now - end_ > allowedLateNs)
        end_ = now;
    running_ = true;
    return end_;
}

void KeyingTimeline::delayUnit(std::int64_t& counter, double limit) {
    const std::int64_t iterations = iterationsFor(limit);
    const std::int64_t start = nextStart(iterations * kIterationNs);
    counter = 0;
    // The counter is the caller's field, read and written through a volatile view so that every
    // iteration really touches it; the clock read keeps the compiler from folding the loop.
    volatile std::int64_t& count = counter;
    while (count < iterations) {
        const std::int64_t deadline = start + (count + 1) * kIterationNs;
        while (clock_.nowNs() < deadline)
            spinPause();
        count = count + 1;
    }
    end_ = start + counter * kIterationNs;
    if (observer_)
        observer_(limit, counter);
}

std::int64_t KeyingTimeline::startTone(int ms, double limit, std::int64_t allowedLateNs) {
    const std::int64_t start = nextStart(std::min(unitNs(limit), allowedLateNs));
    end_ = start + std::int64_t{std::max(ms, 0)} * 1'000'000;
    return start;
}
