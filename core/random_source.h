#pragma once

#include <cstdint>
#include <random>

// The program's one random generator: uniform numbers r with 0 <= r < 1.
// It starts from the same fixed state at every start of the program, so the random groups after
// start-up are the same on every run; only a random words run reseeds it, from the clock.
class RandomSource {
public:
    RandomSource() = default;

    double next();
    void seedFromClock();
    void seed(std::uint64_t value) { engine_.seed(value); }

    static constexpr std::uint64_t kStartState = 20061;

private:
    std::mt19937_64 engine_{kStartState};
};
