#pragma once

#include "core/random_source.h"
#include "core/trainer_state.h"
#include "core/trainer_view.h"
#include "engine/keying_observer.h"
#include "engine/keying_timeline.h"
#include "engine/tone_output.h"

// Plays dots, dashes and timed silences, and turns one character into its Morse elements.
// Tones are timed in milliseconds by the sound output; silences are a busy-wait of `delayLimit`
// iterations of 10 us each. Both follow one timeline, which the tones carry to the sound output.
// Nothing here yields to the window: every call returns when its sound has ended.
class Keyer {
public:
    Keyer(TrainerState& state, TrainerView& view, ToneOutput& tone, RandomSource& random,
          KeyingTimeline& timeline);

    // One delay unit of silence.
    void delayUnit();
    // One dot or dash, each followed by one delay unit.
    void sendDot();
    void sendDash();
    // Plays `currentChar`: its elements, then the character gap of 4 delay units per gap repeat.
    // A character the table does not hold (lower case, blank, two characters, empty) plays
    // only that gap.
    void sendCharacter();
    // The longer gaps of the drills and the player: `units` delay units for each gap repeat,
    // counted with the shared `gapIndex`.
    void gap(int units);

    // Tells `observer` (or nobody, with nullptr) of every character and gap from now on.
    void setObserver(KeyingObserver* observer) { observer_ = observer; }

private:
    void sendElement(double lengthMillis);

    TrainerState& state_;
    TrainerView& view_;
    ToneOutput& tone_;
    RandomSource& random_;
    KeyingTimeline& timeline_;
    KeyingObserver* observer_ = nullptr;
};
