#pragma once

#include "audio/frame_clock.h"
#include "audio/tone_shape.h"
#include "engine/tone_output.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// What the audio callback does: places every tone on the frame that lines up with its start on
// the keying timeline plus a constant lead, and renders the sounding tones into each buffer.
//
// The lead makes the sound follow the timeline at one constant delay, so the silence between two
// tones is heard exactly: it keeps its length to the frame, however late or bunched the callbacks
// come. A tone that arrives too late for its frame starts at once, and those after it follow it
// at their exact silences, catching up with the timeline a frame or so at a time.
//
// Two tones never run into each other: next to a silence shorter than an edge, the fall before
// it and the rise after it are shortened to fit into it, so the sound goes quiet between them
// for at least one frame (their 50 % points stay put). A silence of 0 (a delay limit of 0) joins
// them: the phase follows the stream's frame count, so two of one pitch make one seamless tone,
// cut hard at its ends where no silence leaves room for an edge.
//
// No allocation, no lock, no system call: safe in an audio callback. Not thread-safe.
class ToneScheduler {
public:
    using Request = Tone;

    // From a tone's start on the timeline to the frame its 50 % point lands on: what the sound
    // lags the keying by, besides the sound system's own buffering.
    static constexpr std::int64_t kLeadNs = 20'000'000;
    // How late after its start a tone may arrive and still sound in its place: the lead less the
    // half edge rendered before its nominal start (6 ms), one buffer that a callback may just
    // have rendered when the tone arrives (5.3 ms; a burst of callbacks takes waiting tones with
    // its first buffer, so bursts need no more) and a margin for callbacks coming later than any
    // seen so far. A busy-wait preempted for a few milliseconds still keeps its silence exact.
    static constexpr std::int64_t kLateAllowanceNs = 6'000'000;
    static constexpr std::size_t kMaxSounding = 4;

    // Renders the `count` frames of the next buffer into `out`, for a callback entered at
    // `entryNs` (monotonic). `nextRequest()` hands over waiting requests (std::optional<Request>,
    // empty when none); it is asked only while a tone can be taken. Returns how many tones
    // ended in this buffer.
    template <typename NextRequest>
    std::size_t render(float* out, std::size_t count, std::int64_t entryNs,
                       NextRequest&& nextRequest) {
        clock_.observe(entryNs, nextFrame_);
        while (hasRoom()) {
            const std::optional<Request> request = nextRequest();
            if (!request)
                break;
            place(*request);
        }
        std::fill_n(out, count, 0.0f);
        return mix(out, count);
    }

    // Drops every tone, sounding or placed; returns how many. The next buffer is frame 0 of a
    // new stream.
    std::size_t reset();

    std::int64_t nextFrame() const { return nextFrame_; }

private:
    struct SoundingTone {
        ToneShape shape;
        std::int64_t startFrame;
    };
    // Where the last tone placed starts and ends on the timeline, and where it ends in the stream.
    struct LastTone {
        std::int64_t startNs;
        std::int64_t endNs;
        std::int64_t endFrame;
        std::int64_t halfFall;
    };

    bool hasRoom() const;
    void place(const Request& request);
    // Where the 50 % point of a tone's rise belongs in the stream, before the bounds of what is
    // already rendered and of the tone before it.
    std::int64_t startFrame(const Request& request, std::int64_t gapNs) const;
    std::size_t mix(float* out, std::size_t count);

    FrameClock clock_{ToneShape::kSampleRate};
    std::int64_t nextFrame_ = 0;
    std::array<std::optional<SoundingTone>, kMaxSounding> sounding_;
    std::optional<LastTone> last_;
};
