#pragma once

// The sound output: the one operation the keying engine needs from the platform.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;

    // Plays a tone of `hz` hertz for `ms` milliseconds and returns when it has ended.
    // Any whole numbers may arrive: a pitch that cannot be played (0 or less, or at or above
    // half the sample rate) is played as silence of the same length; a length of 0 or less
    // returns at once. Called on the window's thread only.
    virtual void playTone(int hz, int ms) = 0;
};
