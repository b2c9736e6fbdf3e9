#include "player/typing_panel.h"

TypingPanel::TypingPanel(TrainerState& state, TrainerView& view, Keyer& keyer, TextPlayer& player)
    : state_(state), view_(view), keyer_(keyer), player_(player) {}

void TypingPanel::open() {}
void TypingPanel::hideOrShow() {}
void TypingPanel::clear() {}
void TypingPanel::echoKey(int) {}
