#pragma once

#include "engine/monotonic_clock.h"

#include <algorithm>
#include <functional>

// A clock that moves only when read or told: every read first moves it on by the next step (so a
// busy-wait spinning on it sees time pass), and advanceTo() jumps, as a sleep would.
class FakeClock : public MonotonicClock {
public:
    explicit FakeClock(std::function<std::int64_t()> steps = [] { return std::int64_t{1'000}; })
        : steps_(std::move(steps)) {}
    std::int64_t nowNs() override; // out of line: the keying spins on it, so it is built optimised
    void advanceTo(std::int64_t ns) { now_ = std::max(now_, ns); }
    void advanceBy(std::int64_t ns) { now_ += ns; }
    std::int64_t peek() const { return now_; }
    void setSteps(std::function<std::int64_t()> steps) { steps_ = std::move(steps); }

private:
    std::function<std::int64_t()> steps_;
    std::int64_t now_ = 1'000'000'000;
};
