#include "export/rendering_tone_output.h"

#include "audio/tone_shape.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::int64_t kRate = ToneShape::kSampleRate;
// Rendered in pieces of this many frames; the live output's buffers are far shorter, but the
// scheduler gives the same samples for pieces of any size.
constexpr std::size_t kPieceFrames = 8192;

// When the buffer that starts at `frame` is called back. Split in seconds and the rest so that
// hours of sound do not overflow.
std::int64_t timeOfFrame(std::int64_t frame) {
    return OfflineClock::kOriginNs + frame / kRate * kSecondNs + frame % kRate * kSecondNs / kRate;
}
} // namespace

std::int64_t RenderingToneOutput::frameAt(std::int64_t ns) {
    const std::int64_t since = std::max<std::int64_t>(ns - OfflineClock::kOriginNs, 0);
    return since / kSecondNs * kRate + since % kSecondNs * kRate / kSecondNs;
}

RenderingToneOutput::RenderingToneOutput(OfflineClock& clock, Sink sink)
    : clock_(clock), sink_(std::move(sink)), buffer_(kPieceFrames) {}

void RenderingToneOutput::playTone(const Tone& tone) {
    const std::int64_t endNs = tone.startNs + std::int64_t{std::max(tone.ms, 0)} * 1'000'000;
    clock_.advanceTo(endNs);
    if (tone.ms <= 0)
        return;
    waiting_ = tone;
    lastToneEndNs_ = endNs;
    // The next tone starts at this one's end on the timeline at the earliest, and its rise begins
    // at most one edge before that: everything up to there is final once this tone is placed.
    renderUntil(frameAt(endNs + ToneScheduler::kLeadNs) - ToneShape::kEdgeFrames);
}

void RenderingToneOutput::finish(std::int64_t endNs) {
    renderUntil(
        std::max(frameAt(endNs + ToneScheduler::kLeadNs),
                 frameAt(lastToneEndNs_ + ToneScheduler::kLeadNs) + ToneShape::kEdgeFrames));
}

void RenderingToneOutput::renderUntil(std::int64_t frame) {
    while (!failed_ && (waiting_ || scheduler_.nextFrame() < frame)) {
        const std::int64_t start = scheduler_.nextFrame();
        const auto count = static_cast<std::size_t>(
            std::clamp<std::int64_t>(frame - start, 1, static_cast<std::int64_t>(kPieceFrames)));
        scheduler_.render(buffer_.data(), count, timeOfFrame(start),
                          [this]() { return std::exchange(waiting_, std::nullopt); });
        failed_ = !sink_(buffer_.data(), count);
    }
}
