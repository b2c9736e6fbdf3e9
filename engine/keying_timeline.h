#pragma once

#include "engine/monotonic_clock.h"

#include <cstdint>
#include <functional>

// The one ideal timeline the keying runs on. Every delay unit and every tone starts where the
// one before ended on this timeline, not where the thread happens to be: time the thread spends
// elsewhere (a late wake-up after a tone, a repaint or a handler run in a yield) is absorbed by
// the next silence instead of lengthening it, so the rhythm neither drifts nor stretches.
//
// When the thread comes back later than the timeline can absorb (a Pause, a long handler, a
// window drag), the timeline starts afresh from now: the silence then lasts longer, never
// shorter, and nothing is rushed to catch up.
class KeyingTimeline {
public:
    // One iteration of a delay unit: a stored delay limit of 3000 is 30.000 ms on every machine.
    static constexpr std::int64_t kIterationNs = 10'000;

    explicit KeyingTimeline(MonotonicClock& clock) : clock_(clock) {}

    // One delay unit: sets `counter` to 0 and counts it up to `limit` (the smallest whole number
    // of iterations not less than `limit`; none when it is 0 or less), each iteration spinning
    // until its own 10 us deadline on the timeline has passed. Never sleeps, never yields.
    void delayUnit(std::int64_t& counter, double limit);
    // The start on the timeline of a tone of `ms` milliseconds keyed now, at a delay limit of
    // `limit`, for a sound output that places a tone handed over up to `allowedLateNs` after its
    // start; the timeline moves on to the tone's end.
    std::int64_t startTone(int ms, double limit, std::int64_t allowedLateNs);
    // The length of one delay unit at `limit`, in ns.
    static std::int64_t unitNs(double limit);

    // Told of every delay unit with its limit and the iterations counted; for traces.
    using Observer = std::function<void(double limit, std::int64_t iterations)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    // Where the next element starts: the end of the last one, or now when the thread is more
    // than `allowedLateNs` behind it.
    std::int64_t nextStart(std::int64_t allowedLateNs);

    MonotonicClock& clock_;
    std::int64_t end_ = 0; // end of the last element on the timeline
    bool running_ = false;
    Observer observer_;
};
