#pragma once

#include <cstdint>

// The clock the keying keeps time by: monotonic, in nanoseconds from an arbitrary origin. The
// program reads the system's steady clock; tests put a clock of their own in its place.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t nowNs() = 0;
};

// std::chrono::steady_clock, the clock the sound outputs line their streams up with.
class SteadyClock final : public MonotonicClock {
public:
    std::int64_t nowNs() override;
};
