#include "library/text_library.h"

TextLibrary::TextLibrary(TrainerState& state, TrainerView& view, TypingPanel& typingPanel)
    : state_(state), view_(view), typingPanel_(typingPanel) {}

void TextLibrary::openPanel() {}
void TextLibrary::closePanel() {}
void TextLibrary::choose(int) {}
bool TextLibrary::loadNextFile() { return false; }
