#pragma once

#include <string>

// Told what the keyer plays, as it plays it; the sent record listens here. Its calls add nothing
// to the keying's timing beyond the observer's own (small) work.
class KeyingObserver {
public:
    virtual ~KeyingObserver() = default;
    // `character` (the sender's `currentChar`) has just been keyed, before its character gap.
    virtual void characterKeyed(const std::string& character) = 0;
    // A gap of `units` delay units per gap repeat has just been played.
    virtual void gapKeyed(int units) = 0;
};
