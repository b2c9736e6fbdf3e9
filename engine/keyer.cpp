#include "engine/keyer.h"

#include "core/number_text.h"
#include "engine/morse_table.h"

#include <algorithm>
#include <climits>

namespace {
// Rounded to the nearest whole number (halves to even) and kept inside the range the sound
// output takes: a pitch or length beyond it could never be played anyway.
int wholeNumber(double value) {
    const double rounded = numtext::roundHalfEven(value);
    if (!(rounded == rounded))
        return 0;
    return static_cast<int>(
        std::clamp(rounded, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}
} // namespace

Keyer::Keyer(TrainerState& state, TrainerView& view, ToneOutput& tone, RandomSource& random,
             KeyingTimeline& timeline)
    : state_(state), view_(view), tone_(tone), random_(random), timeline_(timeline) {}

void Keyer::delayUnit() {
    timeline_.delayUnit(state_.delayCounter, state_.delayLimit);
}

void Keyer::sendDot() {
    sendElement(state_.dotMillis);
}

void Keyer::sendDash() {
    sendElement(static_cast<double>(state_.dashMillis));
}

void Keyer::sendElement(double lengthMillis) {
    // The pitch is read afresh for every element, so a change of the pitch box or of
    // "Fun tone" is heard from the very next element.
    if (view_.isChecked(kFunToneBox))
        state_.toneFrequency = static_cast<float>(random_.next() * 2000 + 20);
    else
        state_.toneFrequency = numtext::leadingNumber(view_.text(kStoredPitch));
    // A negative length (from a negative ratio) plays nothing rather than blocking.
    const int ms = std::max(0, wholeNumber(lengthMillis));
    const std::int64_t start =
        timeline_.startTone(ms, state_.delayLimit, tone_.lateToneAllowanceNs());
    tone_.playTone(
        {wholeNumber(state_.toneFrequency), ms, start, KeyingTimeline::unitNs(state_.delayLimit)});
    delayUnit();
}

void Keyer::sendCharacter() {
    view_.moveCaretToEnd(kGroupsOutput);
    for (const auto& entry : morse::table()) {
        if (state_.currentChar != entry.character)
            continue;
        for (char element : entry.elements) {
            if (element == '.')
                sendDot();
            else
                sendDash();
        }
    }
    if (observer_)
        observer_->characterKeyed(state_.currentChar);
    gap(4);
}

void Keyer::gap(int units) {
    const int repeats = state_.gapRepeats;
    for (state_.gapIndex = 1; state_.gapIndex <= repeats; ++state_.gapIndex)
        for (int unit = 0; unit < units; ++unit)
            delayUnit();
    if (observer_)
        observer_->gapKeyed(units);
}
