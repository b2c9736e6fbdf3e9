#pragma once

#include "audio/tone_scheduler.h"
#include "engine/tone_output.h"
#include "export/offline_clock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The sound output of a run written to a file: the live output's scheduler renders every tone,
// with the same shape, placement and lead, into the samples of the file instead of a device's
// buffers. Its buffers are "called back" exactly on time, frame 0 at the offline clock's origin,
// so each tone lands on the frame of its start on the keying timeline and every silence keeps
// its length to the frame. Nothing waits: a tone returns at once, its time passed on the clock.
class RenderingToneOutput final : public ToneOutput {
public:
    // Takes each run of rendered samples in order; false when it could not keep them (a full
    // disk), which stops the rendering.
    using Sink = std::function<bool(const float* samples, std::size_t count)>;

    RenderingToneOutput(OfflineClock& clock, Sink sink);

    void playTone(const Tone& tone) override;
    std::int64_t lateToneAllowanceNs() const override { return ToneScheduler::kLateAllowanceNs; }

    // Renders on to where the keying timeline stands at `endNs` (the run's last silence played
    // out) and past the last tone's fall.
    void finish(std::int64_t endNs);
    std::int64_t framesRendered() const { return scheduler_.nextFrame(); }
    bool failed() const { return failed_; }

    // The frame that lines up with time `ns` of the offline clock.
    static std::int64_t frameAt(std::int64_t ns);

private:
    void renderUntil(std::int64_t frame);

    OfflineClock& clock_;
    Sink sink_;
    ToneScheduler scheduler_;
    std::optional<Tone> waiting_;
    std::vector<float> buffer_;
    std::int64_t lastToneEndNs_ = OfflineClock::kOriginNs;
    bool failed_ = false;
};
