#pragma once

#include "check/wpm.h"
#include "core/trainer_state.h"
#include "core/trainer_view.h"

// Reads and sets the speed controls as a whole, the way the learner's own controls do.
namespace wpm {

// The speeds the keying engine plays at now.
Speeds currentSpeeds(const TrainerState& state);

// Sets the ratio box and the slider (their change handlers set the lengths and the settings
// boxes), the delay limit with the white number and its settings box, as "Laju +" and "Laju -"
// write them, and the gap repeats. Only the gap repeats are not a setting: the next start begins
// with 3 again, as always.
void apply(const KeyingSettings& settings, TrainerState& state, TrainerView& view);

} // namespace wpm
