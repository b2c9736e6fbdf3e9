#pragma once

#include <cstdint>

// One keyed tone as the keying engine hands it to the sound output.
struct Tone {
    int hz;
    int ms;
    // Where the tone starts on the keying timeline (the steady clock, in ns). It may lie a little
    // in the past when the tone is handed over; the output plays it at a constant delay after
    // this instant all the same, so the silences between tones keep their lengths.
    std::int64_t startNs;
    // The least silence that follows the tone on the timeline: the output ends the tone so that
    // it never runs into the next one.
    std::int64_t silenceAfterNs;
};

// The sound output: the one operation the keying engine needs from the platform.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;

    // Plays `tone` and returns when it has ended on the timeline (at startNs + ms), sleeping
    // meanwhile. Any whole numbers may arrive: a pitch that cannot be played (0 or less, or at or
    // above half the sample rate) is played as silence of the same length; a length of 0 or less
    // returns at once. Called on the window's thread only.
    virtual void playTone(const Tone& tone) = 0;

    // How long after its start a tone may be handed over and still sound in its place. The
    // keying timeline starts afresh when the thread comes later than this before a tone: the
    // silence before the tone then grows, rather than the silence after it shrinking.
    virtual std::int64_t lateToneAllowanceNs() const { return 5'000'000; }
};
