#include "trainer/pause_button.h"

#include "core/captions.h"

void PauseButton::click() {
    const bool textPlayerLast = state_.playMode == PlayMode::Text;
    if (textPlayerLast && view_.text(kPauseButton) == caption::kPause) {
        player_.pause();
        return;
    }
    if (textPlayerLast && view_.text(kPauseButton) == caption::kResume)
        player_.resume();
    // A resumed run may itself have been paused, or another player started, before it returned
    // here; the button and the mode are read afresh.
    if (state_.playMode != PlayMode::Words)
        return;
    const std::string caption = view_.text(kPauseButton);
    if (caption == caption::kPause)
        words_.pause();
    else if (caption == caption::kResume)
        words_.resume();
}
