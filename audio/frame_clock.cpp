#include "audio/frame_clock.h"

#include <algorithm>
#include <cmath>

FrameClock::FrameClock(int sampleRate, std::int64_t windowNs)
    : nsPerFrame_(1e9 / sampleRate), bucketSpanNs_(windowNs / kBuckets) {}

void FrameClock::observe(std::int64_t entryNs, std::int64_t firstFrame) {
    const std::int64_t offset =
        entryNs - std::llround(static_cast<double>(firstFrame) * nsPerFrame_);
    if (settling_) {
        if (!hasEstimate_)
            settledAtNs_ = entryNs + kSettleNs;
        settling_ = entryNs < settledAtNs_;
        bucketMin_.fill(offset);
        bucketStartNs_ = entryNs;
        offsetNs_ = offset;
        hasEstimate_ = true;
        return;
    }
    // After a pause of several stretches (a stalled stream) every stretch it skipped starts
    // afresh from this callback, so a minimum from before the pause cannot outlive the window.
    const std::int64_t elapsed = (entryNs - bucketStartNs_) / bucketSpanNs_;
    for (std::int64_t step = 0; step < std::min<std::int64_t>(elapsed, kBuckets); ++step) {
        currentBucket_ = (currentBucket_ + 1) % kBuckets;
        bucketMin_[currentBucket_] = offset;
    }
    if (elapsed > 0)
        bucketStartNs_ = entryNs;
    bucketMin_[currentBucket_] = std::min(bucketMin_[currentBucket_], offset);
    offsetNs_ = *std::min_element(bucketMin_.begin(), bucketMin_.end());
}

std::int64_t FrameClock::frameAt(std::int64_t ns) const {
    return std::llround(static_cast<double>(ns - offsetNs_) / nsPerFrame_);
}
