#pragma once

#include "player/next_file_step.h"
#include "player/typing_panel.h"

// The library of texts: the open-file panel with the file list of the current folder, loading
// a chosen file into the text box, and moving on to the next file when a text ends.
class TextLibrary : public NextFileStep {
public:
    TextLibrary(TrainerState& state, TrainerView& view, TypingPanel& typingPanel);

    void openPanel();       // "Buka Fail"
    void closePanel();      // "BATAL", or a click on the panel's background
    void choose(int index); // a click on an entry of the file list
    bool loadNextFile() override;

private:
    TrainerState& state_;
    TrainerView& view_;
    TypingPanel& typingPanel_;
};
