#pragma once

#include "drills/word_drill.h"
#include "engine/keyer.h"
#include "player/next_file_step.h"
#include "player/word_scanner.h"

// Keys the text of the text box word by word, showing the characters sent on the display line
// `Command6`, with Pause/Resume, Stop and Skip. With continuous play on, the end of a text moves
// on to the next library file and plays it, round the list, until Stop.
class TextPlayer {
public:
    TextPlayer(TrainerState& state, TrainerView& view, Keyer& keyer, WordScanner& scanner,
               WordDrill& wordDrill);
    void setNextFileStep(NextFileStep* step) { nextFile_ = step; }

    void go();            // "Go morse"; also Stop's own Go
    void pauseOrResume(); // Command20, "Pause" or "Jalan", for the player started last
    void stop();          // Command19
    void skip();          // a click on the display line; also a double-click in the text box

private:
    TrainerState& state_;
    TrainerView& view_;
    Keyer& keyer_;
    WordScanner& scanner_;
    WordDrill& wordDrill_;
    NextFileStep* nextFile_ = nullptr;
};
