#include "player/text_player.h"

TextPlayer::TextPlayer(TrainerState& state, TrainerView& view, Keyer& keyer, WordScanner& scanner,
                       WordDrill& wordDrill)
    : state_(state), view_(view), keyer_(keyer), scanner_(scanner), wordDrill_(wordDrill) {}

void TextPlayer::go() {}
void TextPlayer::pauseOrResume() {}
void TextPlayer::stop() {}
void TextPlayer::skip() {}
