#pragma once

#include <cstddef>
#include <cstdint>

// The samples of one keyed tone: a sine at -10 dBFS whose envelope rises and falls along the
// integral of a Blackman-Harris window. Each edge is centred on its nominal instant, so the
// envelope crosses 50 % exactly at the nominal start and end and the tone measures exactly its
// requested length between those points, to the sample.
//
// Next to a short silence an edge is shortened to fit into it (see ToneScheduler), so that two
// tones never run into each other; its 50 % point stays where it was.
//
// Frame 0 of a tone is half a rise before its nominal start; `leadInFrames()` says how far.
// Every piece takes its starting phase from whole numbers, so a tone may be rendered in pieces
// of any size (one audio buffer at a time) and comes out as in one go, to a millionth of full
// scale, with no drift however long it lasts.
class ToneShape {
public:
    static constexpr int kSampleRate = 48000;
    // Whole edge, 10-90 % rise about 4.3 ms. At equal rise time this edge and a raised cosine
    // are about as wide at -60 dB (rise time rules there), but from -70 dB down this one is far
    // narrower; a shorter edge of either shape widens the keyed spectrum past what a listener
    // hears as clean (`make bench` prints the width).
    static constexpr int kEdgeFrames = 576; // 12 ms
    static constexpr float kPeak = 0.3162f; // -10 dBFS

    // Frames between the 50 % points of a tone of `ms` milliseconds; 0 when `ms` is 0 or less.
    static std::int64_t framesFor(int ms);
    // Above 0 and below half the sample rate; any other pitch is played as silence.
    static bool isPlayable(int hz) { return hz > 0 && hz < kSampleRate / 2; }

    // A tone of `hz` hertz lasting `ms` milliseconds. A pitch of 0 or less, or at or above half
    // the sample rate, gives silence of the same length; a length of 0 or less gives no frames.
    // `phaseFrame` is the frame the sine's phase counts from: the output passes the stream
    // position, so two tones of one pitch that touch add up to one seamless tone. The rise and
    // the fall are each at most one edge long, at most as long as the tone, and at most twice
    // `maxHalfRise` and `maxHalfFall` frames; an edge of 0 frames starts or ends the tone at once.
    ToneShape(int hz, int ms, std::int64_t phaseFrame = 0,
              std::int64_t maxHalfRise = kEdgeFrames / 2,
              std::int64_t maxHalfFall = kEdgeFrames / 2);

    bool isSilent() const { return hz_ == 0; }
    // Frames from frame 0 to the nominal start (the 50 % point of the rise).
    std::int64_t leadInFrames() const { return halfRise_; }
    // Frames from the nominal end to the last frame.
    std::int64_t leadOutFrames() const { return halfFall_; }
    // Every frame of the tone: the nominal length plus half a rise and half a fall.
    std::int64_t totalFrames() const { return length_ == 0 ? 0 : length_ + halfRise_ + halfFall_; }

    // The envelope (0..1) at a frame; 0 outside the tone.
    double envelope(std::int64_t frame) const;
    // Adds frames [first, first + count) of the tone to `out` (frames outside the tone add 0).
    void addTo(float* out, std::int64_t first, std::size_t count) const;

private:
    int hz_;
    std::int64_t length_;
    std::int64_t halfRise_;
    std::int64_t halfFall_;
    std::int64_t phaseFrame_;
};
