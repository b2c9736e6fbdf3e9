#include "drills/word_drill.h"

WordDrill::WordDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random,
                     WordScanner& scanner)
    : state_(state), view_(view), keyer_(keyer), random_(random), scanner_(scanner) {}

void WordDrill::start() {}
void WordDrill::pause() {}
void WordDrill::resume() {}
void WordDrill::wordLoop() {}
