#include "drills/word_drill.h"

#include "core/captions.h"
#include "core/text_characters.h"

#include <cmath>

namespace {
constexpr int kWordsPerLine = 10;

// The character at `position` (from 1) of `characters`; fractional positions count by the whole
// number below them. A position before the first character is possible when a nested group run
// left its counter below zero; it has no character, so it is neither shown nor keyed.
std::string characterAt(const std::vector<std::string>& characters, double position) {
    const double whole = std::floor(position);
    if (whole < 1 || whole > static_cast<double>(characters.size()))
        return {};
    return characters[static_cast<std::size_t>(whole) - 1];
}
} // namespace

WordDrill::WordDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random,
                     WordScanner& scanner)
    : state_(state), view_(view), keyer_(keyer), random_(random), scanner_(scanner) {}

void WordDrill::start() {
    view_.setVisible(kGroupsPanel, false);
    view_.setVisible(kTextPanel, true);
    view_.setEnabled(kTextStopButton, true);
    view_.setEnabled(kPauseButton, true);
    // A new run gives up a pending pause, of the text player or of this drill alike.
    if (view_.text(kPauseButton) == caption::kResume)
        view_.setText(kPauseButton, caption::kPause);
    state_.wordCount = 0;
    state_.atWordBreak = 1;
    state_.playMode = PlayMode::Words;
    // The one place the generator is seeded: the groups keep their fixed sequence until then.
    random_.seedFromClock();
    scanner_.scanWords();
    view_.setText(kWordTotalLabel, wordTotalText(state_.wordCount));
    // wordsOnLine carries over, so the display may be cleared early in this run.
    view_.setText(kDisplayLine, "");
    state_.groupCounter = 0;
    wordLoop();
}

void WordDrill::pause() {
    view_.setText(kPauseButton, caption::kResume);
    state_.pausedIndex = state_.groupCounter;
    // Past the bound, but the loop only looks between words: the current word is finished first.
    state_.groupCounter = 2 * state_.scanPos;
}

void WordDrill::resume() {
    view_.setText(kPauseButton, caption::kPause);
    state_.groupCounter = state_.pausedIndex;
    wordLoop();
}

void WordDrill::wordLoop() {
    // The run admits scanPos words, one more than the characters scanned, however many words the
    // text holds. Pause, Skip and a newer run end it only by moving groupCounter.
    while (view_.yield()) {
        state_.groupCounter += 1;
        if (state_.groupCounter > state_.scanPos)
            return;
        state_.charCounter = 0;
        state_.pickIndex = static_cast<int>(std::floor(random_.next() * state_.wordCount)) + 1;
        playWord();
    }
}

void WordDrill::playWord() {
    while (view_.yield()) {
        // Read afresh at every character: a run nested in the yield may have rescanned the text
        // or drawn another word, and this loop then goes on with what it left.
        const std::vector<std::string> word =
            textchars::split(state_.wordList[static_cast<std::size_t>(state_.pickIndex)]);
        state_.charCounter += 1;
        if (state_.charCounter > static_cast<double>(word.size()))
            break;
        const std::string shown = characterAt(word, state_.charCounter);
        state_.currentChar = textchars::upperAscii(shown);
        view_.appendText(kDisplayLine, shown);
        keyer_.gap(2);
        keyer_.sendCharacter();
    }
    view_.appendText(kDisplayLine, " ");
    keyer_.gap(8);
    state_.wordsOnLine += 1;
    if (state_.wordsOnLine == kWordsPerLine) {
        state_.wordsOnLine = 0;
        view_.setText(kDisplayLine, "");
    }
}
