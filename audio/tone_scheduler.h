#pragma once

#include "audio/frame_clock.h"
#include "audio/tone_shape.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// What the audio callback does: places every tone on the frame that lines up with its request
// time plus a constant lead, and renders the sounding tones into each buffer.
//
// The lead makes the sound follow the requests at one constant delay, so the time between two
// requests is heard exactly: a silence the caller makes between two tones keeps its length to
// the frame, however late or bunched the callbacks come. A tone that arrives too late for its
// frame starts at once. Tones that overlap are added; the phase follows the stream's frame
// count, so two of one pitch that touch make one seamless tone.
//
// No allocation, no lock, no system call: safe in an audio callback. Not thread-safe.
class ToneScheduler {
public:
    struct Request {
        std::int64_t requestNs; // monotonic time of the request
        int hz;
        int ms;
    };

    // From a request to the frame its 50 % point lands on. It must exceed what may already be
    // rendered when the request arrives (one buffer) plus the half edge rendered before the
    // nominal start (6 ms); the rest is room for callbacks that come late.
    static constexpr std::int64_t kLeadNs = 30'000'000;
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

    bool hasRoom() const;
    void place(const Request& request);
    std::size_t mix(float* out, std::size_t count);

    FrameClock clock_{ToneShape::kSampleRate};
    std::int64_t nextFrame_ = 0;
    std::array<std::optional<SoundingTone>, kMaxSounding> sounding_;
};
