#pragma once

#include <array>
#include <cstdint>

// Lines up the monotonic clock with an output stream's frame counter, so that a tone asked for
// at a given time can start on the frame that belongs to that time.
//
// The audio callback reports when it was entered and which frame its buffer starts with. A
// callback is never early, only late (scheduling, bursts), so the callback that came earliest
// relative to its frame is the truest: the estimate is the minimum of (entry - frame time) over
// the last two seconds or so. Late callbacks then do not move it, and a slow drift between the
// device's clock and the monotonic clock is still followed.
//
// A stream's first callbacks come in a burst that fills the device's buffer, each far ahead of
// its frame's time; until the stream has settled (kSettleNs after its first callback) the
// estimate follows the latest callback, and what the burst told is then forgotten.
//
// It also bounds what has been rendered: every frame rendered by time t lies before
// frameAt(t) + one buffer.
//
// Not thread-safe: the audio callback owns it.
class FrameClock {
public:
    explicit FrameClock(int sampleRate, std::int64_t windowNs = 2'000'000'000);

    // A callback entered at `entryNs` (monotonic) to render frames from `firstFrame` on.
    void observe(std::int64_t entryNs, std::int64_t firstFrame);
    bool hasEstimate() const { return hasEstimate_; }
    // The frame that lines up with monotonic time `ns`; only meaningful once hasEstimate().
    std::int64_t frameAt(std::int64_t ns) const;

    static constexpr std::int64_t kSettleNs = 50'000'000;

private:
    static constexpr int kBuckets = 4;

    double nsPerFrame_;
    std::int64_t bucketSpanNs_;
    // Minimum of (entry - frame time) per stretch of bucketSpanNs_; the estimate is the minimum
    // over all of them, so an old minimum is forgotten when its bucket is reused.
    std::array<std::int64_t, kBuckets> bucketMin_{};
    std::int64_t bucketStartNs_ = 0;
    int currentBucket_ = 0;
    std::int64_t offsetNs_ = 0;
    std::int64_t settledAtNs_ = 0;
    bool hasEstimate_ = false;
    bool settling_ = true;
};
