#include "core/random_source.h"

#include <chrono>

double RandomSource::next() {
    // The top 53 bits give every double in [0, 1) on a grid of 2^-53; never 1.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

void RandomSource::seedFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    engine_.seed(static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}
