#include "engine/speed_pitch.h"

#include "core/number_text.h"

using numtext::leadingNumber;
using numtext::plain;

SpeedPitch::SpeedPitch(TrainerState& state, TrainerView& view) : state_(state), view_(view) {}

void SpeedPitch::activateLengths() {
    // A stored length the slider refuses leaves it where it was; the lengths then follow the
    // slider, not the box.
    view_.setSliderPosition(numtext::roundHalfEven(leadingNumber(view_.text(kStoredDash))));
    state_.dashMillis = view_.sliderPosition();
    setDotFromRatio();
    view_.setText(kDashLabel, plain(view_.sliderPosition()));
    state_.gapRepeats = 3;
}

void SpeedPitch::activatePitchAndDelay() {
    state_.toneFrequency = leadingNumber(view_.text(kStoredPitch));
    state_.delayLimit = leadingNumber(view_.text(kStoredDelayLimit));
    view_.setText(kDelayLimitLabel, plain(state_.delayLimit));
}

void SpeedPitch::sliderChanged() {
    state_.dashMillis = view_.sliderPosition();
    setDotFromRatio();
    view_.setText(kDashLabel, plain(view_.sliderPosition()));
    view_.setText(kStoredDash, view_.text(kDashLabel));
}

void SpeedPitch::ratioChanged() {
    setDotFromRatio();
}

// A ratio of 0 (or a box without a number) cannot divide the dash: the dot keeps its length.
void SpeedPitch::setDotFromRatio() {
    const double ratio = leadingNumber(view_.text(kRatioBox));
    if (ratio != 0)
        state_.dotMillis = state_.dashMillis / ratio;
}

void SpeedPitch::faster() {
    // The character gap cycles 3, 2, 1, 3, ... while the delay unit keeps shrinking.
    state_.gapRepeats -= 1;
    if (state_.gapRepeats < 1)
        state_.gapRepeats = 3;
    state_.delayLimit -= 100;
    showDelayLimit();
}

void SpeedPitch::slower() {
    state_.gapRepeats += 1;
    state_.delayLimit += 100;
    showDelayLimit();
}

void SpeedPitch::showDelayLimit() {
    view_.setText(kDelayLimitLabel, plain(state_.delayLimit));
    view_.setText(kStoredDelayLimit, view_.text(kDelayLimitLabel));
}

void SpeedPitch::higherPitch() {
    changePitch(+10);
}

void SpeedPitch::lowerPitch() {
    changePitch(-10);
}

// Starts from the pitch of the last element played, which after "Fun tone" is a random one.
void SpeedPitch::changePitch(double step) {
    state_.toneFrequency += step;
    view_.setText(kStoredPitch, plain(state_.toneFrequency));
}
