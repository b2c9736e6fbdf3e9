#pragma once

#include "core/trainer_state.h"
#include "core/trainer_view.h"

// Splits the plain text of the text box into words: maximal runs of characters other than the
// blank, the carriage return and the line feed. Fills `wordList` (entries 1 to `wordCount`),
// leaves `scanPos` one past the last character examined (at most the first 10000), and shows the
// total in `Label4`. The caller sets `wordCount` to 0 and `atWordBreak` to 1 first.
class WordScanner {
public:
    // Characters examined at most: a scan yields at most 5000 words.
    static constexpr int kScanLimit = 10000;

    WordScanner(TrainerState& state, TrainerView& view);
    void scanWords();

private:
    TrainerState& state_;
    TrainerView& view_;
};

// The word total as `Label4` shows it: " 12 PERKATAAN SEMUANYA".
std::string wordTotalText(int wordCount);
