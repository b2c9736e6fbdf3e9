#include "audio/tone_scheduler.h"

#include <cmath>

std::size_t ToneScheduler::reset() {
    std::size_t dropped = 0;
    for (auto& slot : sounding_) {
        if (slot)
            ++dropped;
        slot.reset();
    }
    clock_ = FrameClock(ToneShape::kSampleRate);
    nextFrame_ = 0;
    last_.reset();
    return dropped;
}

bool ToneScheduler::hasRoom() const {
    return std::any_of(sounding_.begin(), sounding_.end(), [](const auto& slot) { return !slot; });
}

namespace {
// Half the whole frames that fit into `ns`: the most half an edge may take of a silence that
// it shares with the neighbouring tone's edge.
constexpr std::int64_t kSecond = 1'000'000'000;

std::int64_t halfOfFramesIn(std::int64_t ns) {
    return std::clamp<std::int64_t>(ns, 0, kSecond) * ToneShape::kSampleRate / kSecond / 2;
}

std::int64_t framesIn(std::int64_t ns) {
    return std::llround(static_cast<double>(ns) * ToneShape::kSampleRate / kSecond);
}

// Within this distance of the clock's frame a tone simply follows the last one: the clock's
// estimate wanders by a millisecond or so as callbacks come early or late, and that wandering
// must not reach the silences.
constexpr std::int64_t kFollowFrames = ToneShape::kSampleRate / 500; // 2 ms
// Beyond it each tone is drawn towards the clock by one frame (21 us): that follows a drift of a
// couple of hundred ppm between the sound card's clock and the steady clock and changes no
// silence audibly.
// A silence longer than this is a pause, not part of the rhythm: the tone after it goes where the
// clock puts it, so that the delay from the keying to the sound is the same at every start.
constexpr std::int64_t kPauseNs = 2 * kSecond;
// Only something far out of the ordinary (a stream that stalled or started afresh) puts the
// sound this far from the clock; the tone then goes to the clock's frame.
constexpr std::int64_t kResyncFrames = ToneShape::kSampleRate / 20; // 50 ms
} // namespace

std::int64_t ToneScheduler::startFrame(const Request& request, std::int64_t gapNs) const {
    const std::int64_t byClock = clock_.frameAt(request.startNs + kLeadNs);
    if (!last_ || gapNs > kPauseNs)
        return byClock;
    // Within a run a tone follows the last one by exactly the silence between them on the
    // timeline, whatever the frame clock's estimate does meanwhile and even when the last one had
    // to start late.
    const std::int64_t chained = last_->endFrame + framesIn(std::max<std::int64_t>(gapNs, 0));
    const std::int64_t offClock = byClock - chained;
    if (std::abs(offClock) > kResyncFrames)
        return byClock;
    if (std::abs(offClock) <= kFollowFrames)
        return chained;
    return chained + (offClock > 0 ? 1 : -1);
}

void ToneScheduler::place(const Request& request) {
    // The first tone of a stream has all the silence it wants before it.
    const std::int64_t gapNs = last_ ? request.startNs - last_->endNs : kSecond;
    const ToneShape edges(request.hz, request.ms, 0, halfOfFramesIn(gapNs),
                          halfOfFramesIn(request.silenceAfterNs));
    const std::int64_t leadIn = edges.leadInFrames();
    std::int64_t start = std::max(startFrame(request, gapNs), nextFrame_ + leadIn);
    // The frame clock may round the silence before the tone a frame either way; its length on
    // the timeline decides: none joins the tones, any keeps them a frame apart at least.
    if (last_ && gapNs <= 0 && last_->endFrame >= nextFrame_ + leadIn)
        start = last_->endFrame;
    else if (last_ && gapNs > 0)
        start =
            std::max(start, last_->endFrame + std::max<std::int64_t>(1, last_->halfFall + leadIn));
    const std::int64_t first = start - leadIn;
    auto free =
        std::find_if(sounding_.begin(), sounding_.end(), [](const auto& slot) { return !slot; });
    free->emplace(SoundingTone{
        ToneShape(request.hz, request.ms, first, edges.leadInFrames(), edges.leadOutFrames()),
        first});
    last_ = LastTone{request.startNs,
                     request.startNs + std::int64_t{std::max(request.ms, 0)} * 1'000'000,
                     start + ToneShape::framesFor(request.ms), edges.leadOutFrames()};
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
