#pragma once

#include "core/trainer_state.h"
#include "core/trainer_view.h"

// Turns the stored settings and the speed and pitch controls into the keying engine's lengths,
// delay limit, gap repeats and pitch. Every change a control makes is written back into its
// settings box, which the settings store carries into the next run.
class SpeedPitch {
public:
    SpeedPitch(TrainerState& state, TrainerView& view);

    // At the first activation, once the settings boxes are filled: slider, dash and dot lengths,
    // the yellow number and the gap repeats.
    void activateLengths();
    // Later in the activation: pitch, delay limit and the white number.
    void activatePitchAndDelay();

    void sliderChanged(); // HScroll1
    void ratioChanged();  // Text7
    void faster();        // "Laju +"
    void slower();        // "Laju -"
    void higherPitch();   // "Nada +"
    void lowerPitch();    // "Nada -"

private:
    void setDotFromRatio();
    void showDelayLimit();
    void changePitch(double step);

    TrainerState& state_;
    TrainerView& view_;
};
