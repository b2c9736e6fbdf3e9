#pragma once

// Speeds in words per minute from the keying settings, by the standard word "PARIS " (50 dot
// units) as the text player keys it, on the steady time base: one busy-wait iteration of the
// delay unit is 10 microseconds, so a delay limit of 3000 is a delay unit of 30 ms.
namespace wpm {

inline constexpr double kMillisPerIteration = 0.01;

// What the speed controls hold: the slider (dash in ms), the ratio (dash / dot), the delay limit
// and the gap repeats.
struct KeyingSettings {
    int dashMillis = 0;
    double ratio = 0;
    double delayLimit = 0;
    int gapRepeats = 0;
};

// Character speed: the speed at which the characters themselves are keyed, from the time of
// PARIS's characters alone (tones and the gaps between their elements: 31 of the word's 50
// units). Effective speed: whole words, with every gap the text player plays between characters
// and words. 0 where a time is 0 (no figure).
struct Speeds {
    double character = 0;
    double effective = 0;
};

// From the engine's own lengths: the dot as played (rounded half to even, none when negative)
// and the delay unit as counted (whole iterations, none for a limit of 0 or less).
Speeds speedsOf(int dashMillis, double dotMillis, double delayLimit, int gapRepeats);

// The settings the controls can hold that come closest to `characterWpm` and `effectiveWpm`
// (both above 0, the effective speed at most the character speed): the standard ratio 3, a whole
// dash length from 1 to 1000 ms, a whole delay limit and 1 to 12 gap repeats. Of settings that
// give both speeds about equally well, those whose delay unit is nearest the dot win, as the
// gap between a character's elements is then the standard one dot long.
KeyingSettings closestSettings(double characterWpm, double effectiveWpm);

} // namespace wpm
