#pragma once

#include "engine/keying_timeline.h"
#include "engine/monotonic_clock.h"

#include <algorithm>
#include <cstdint>

// The time of a run keyed into a sound file rather than played: it passes only as the keying
// waits. Every read moves it on by one iteration of a delay unit, so a busy-wait counts its
// iterations at once, each in one read; a tone moves it to the tone's end, as the live output's
// sleep would. The keying timeline then never finds the thread late and places every element
// exactly where the settings put it.
class OfflineClock final : public MonotonicClock {
public:
    static constexpr std::int64_t kOriginNs = 0;

    std::int64_t nowNs() override { return now_ += KeyingTimeline::kIterationNs; }
    void advanceTo(std::int64_t ns) { now_ = std::max(now_, ns); }

private:
    std::int64_t now_ = kOriginNs;
};
