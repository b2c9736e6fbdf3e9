#pragma once

#include "engine/keyer.h"
#include "player/next_file_step.h"
#include "player/word_scanner.h"

#include <string>

// Keys the text of the text box word by word, showing the characters sent on the display line
// `Command6`, with Pause/Resume, Stop and Skip. With continuous play on, the end of a text moves
// on to the next library file and plays it, round the list, until Stop.
class TextPlayer {
public:
    TextPlayer(TrainerState& state, TrainerView& view, Keyer& keyer, WordScanner& scanner);
    void setNextFileStep(NextFileStep* step) { nextFile_ = step; }

    void go();     // "Go morse"; also Stop's own Go
    void pause();  // the Pause button while the text player was started last
    void resume(); // the same button reading "Jalan"
    void stop();   // Command19
    void skip();   // a click on the display line; also a double-click in the text box

private:
    // Why a run of the play loop ended; only the end of the text leads on to the next file.
    enum class RunEnd { EndOfText, Paused, WindowClosed };
    // A resumed run differs from Go's: it continues the interrupted word and clears a pause
    // that came during it.
    enum class Run { Fresh, Resumed };

    RunEnd playOneText();
    RunEnd playLoop(Run run);
    bool sendRestOfWord(); // false when the window was closed meanwhile
    void closeWord(int& lineWords);
    bool nextTextLoaded();
    const std::string& currentWord() const;

    TrainerState& state_;
    TrainerView& view_;
    Keyer& keyer_;
    WordScanner& scanner_;
    NextFileStep* nextFile_ = nullptr;
};
