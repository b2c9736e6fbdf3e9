#pragma once

#include "drills/word_drill.h"
#include "player/text_player.h"

// The Pause button (`Command20`) is shared: it pauses or resumes whichever of the text player and
// the word drill was started last, and reads its state from its own caption.
class PauseButton {
public:
    PauseButton(TrainerState& state, TrainerView& view, TextPlayer& player, WordDrill& words)
        : state_(state), view_(view), player_(player), words_(words) {}
    void click();

private:
    TrainerState& state_;
    TrainerView& view_;
    TextPlayer& player_;
    WordDrill& words_;
};
