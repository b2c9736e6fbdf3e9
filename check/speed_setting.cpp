#include "check/speed_setting.h"

#include "core/number_text.h"

namespace wpm {

Speeds currentSpeeds(const TrainerState& state) {
    return speedsOf(state.dashMillis, state.dotMillis, state.delayLimit, state.gapRepeats);
}

void apply(const KeyingSettings& settings, TrainerState& state, TrainerView& view) {
    view.setText(kRatioBox, numtext::plain(settings.ratio));
    view.setSliderPosition(settings.dashMillis);
    state.delayLimit = settings.delayLimit;
    view.setText(kDelayLimitLabel, numtext::plain(state.delayLimit));
    view.setText(kStoredDelayLimit, view.text(kDelayLimitLabel));
    state.gapRepeats = settings.gapRepeats;
}

} // namespace wpm
