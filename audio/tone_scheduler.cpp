#include "audio/tone_scheduler.h"

std::size_t ToneScheduler::reset() {
    std::size_t dropped = 0;
    for (auto& slot : sounding_) {
        if (slot)
            ++dropped;
        slot.reset();
    }
    clock_ = FrameClock(ToneShape::kSampleRate);
    nextFrame_ = 0;
    return dropped;
}

bool ToneScheduler::hasRoom() const {
    return std::any_of(sounding_.begin(), sounding_.end(), [](const auto& slot) { return !slot; });
}

void ToneScheduler::place(const Request& request) {
    const std::int64_t leadIn = ToneShape(request.hz, request.ms).leadInFrames();
    const std::int64_t start =
        std::max(clock_.frameAt(request.requestNs + kLeadNs) - leadIn, nextFrame_);
    auto free =
        std::find_if(sounding_.begin(), sounding_.end(), [](const auto& slot) { return !slot; });
    free->emplace(SoundingTone{ToneShape(request.hz, request.ms, start), start});
}

std::size_t ToneScheduler::mix(float* out, std::size_t count) {
    const std::int64_t bufferEnd = nextFrame_ + static_cast<std::int64_t>(count);
    std::size_t ended = 0;
    for (auto& slot : sounding_) {
        if (!slot)
            continue;
        slot->shape.addTo(out, nextFrame_ - slot->startFrame, count);
        if (slot->startFrame + slot->shape.totalFrames() <= bufferEnd) {
            slot.reset();
            ++ended;
        }
    }
    nextFrame_ = bufferEnd;
    return ended;
}
