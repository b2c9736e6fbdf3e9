#pragma once

#include "engine/keyer.h"
#include "player/word_scanner.h"

// Random words: words drawn at random from the text box, keyed in upper case and shown as they
// stand in the text, with pause and resume.
class WordDrill {
public:
    WordDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random,
              WordScanner& scanner);

    void start();  // "Random Words": a new scan, a new seed, a new run
    void pause();  // the Pause button while the drill was started last
    void resume(); // the same button reading "Jalan"

private:
    void wordLoop();
    void playWord();

    TrainerState& state_;
    TrainerView& view_;
    Keyer& keyer_;
    RandomSource& random_;
    WordScanner& scanner_;
};
