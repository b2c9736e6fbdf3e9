#pragma once

#include "engine/keyer.h"
#include "engine/speed_pitch.h"

// The trainer's procedures, wired to each other, over the window's state and view. The window
// owns one and calls into it from its handlers; tests drive the same object.
struct Trainer {
    Trainer(TrainerState& state, TrainerView& view, ToneOutput& tone, RandomSource& random,
            const BusyWait& busyWait)
        : keyer(state, view, tone, random, busyWait), speedPitch(state, view) {}

    Keyer keyer;
    SpeedPitch speedPitch;
};
