#pragma once

#include "engine/keyer.h"
#include "player/text_player.h"

// The text panel opened for the learner's own text, with key echo, hide/show and clearing.
class TypingPanel {
public:
    TypingPanel(TrainerState& state, TrainerView& view, Keyer& keyer, TextPlayer& player);

    void open();            // "Taip teks"; also the first step of "Buka Fail"
    void hideOrShow();      // Command18: "Hilangkan Teks" or "Lihat Teks"
    void clear();           // a double-click in the text box
    void echoKey(int code); // a key typed into the text box, before the box receives it

private:
    TrainerState& state_;
    TrainerView& view_;
    Keyer& keyer_;
    TextPlayer& player_;
};
