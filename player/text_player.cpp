#include "player/text_player.h"

#include "core/captions.h"
#include "core/number_text.h"
#include "core/text_characters.h"

#include <algorithm>

namespace {
constexpr int kWordGapUnits = 8; // per gap repeat, on top of the last character's own gap
constexpr int kWordsPerDisplayLine = 15;
} // namespace

TextPlayer::TextPlayer(TrainerState& state, TrainerView& view, Keyer& keyer, WordScanner& scanner)
    : state_(state), view_(view), keyer_(keyer), scanner_(scanner) {}

void TextPlayer::go() {
    // Continuous play chains texts without end, so each next text is played by this loop rather
    // than by one more call level per text: memory and stack stay flat however long it runs.
    while (playOneText() == RunEnd::EndOfText && nextTextLoaded()) {
    }
}

TextPlayer::RunEnd TextPlayer::playOneText() {
    if (view_.text(kPauseButton) == caption::kResume)
        view_.setText(kPauseButton, caption::kPause);
    view_.setEnabled(kTextStopButton, true);
    view_.setEnabled(kPauseButton, true);
    view_.setText(kDisplayLine, "");
    // pausedFlag is left alone: a pause given up by Go still keeps this run from moving on to
    // the next file.
    state_.wordIndex = 0;
    state_.wordsPlayed = 0;
    state_.playMode = PlayMode::Text;
    state_.wordCount = 0;
    state_.atWordBreak = 1;
    scanner_.scanWords();
    // The player shows the total itself as well, so the label reads this run's count however
    // the scanner reports it.
    view_.setText(kWordTotalLabel, wordTotalText(state_.wordCount));
    return playLoop(Run::Fresh);
}

// Clicks act only in the yields, so every bound is tested again after each one: Pause, Stop
// and Skip end a run by moving wordIndex or emptying the list, not through a flag.
TextPlayer::RunEnd TextPlayer::playLoop(Run run) {
    int lineWords = 0;
    for (;;) {
        if (!view_.yield())
            return RunEnd::WindowClosed;
        if (run == Run::Fresh)
            state_.charPos = 0;
        state_.wordIndex += 1;
        if (state_.wordIndex > state_.wordCount) {
            if (state_.pausedFlag != 1)
                return RunEnd::EndOfText;
            if (run == Run::Resumed)
                state_.pausedFlag = 0;
            return RunEnd::Paused;
        }
        if (!sendRestOfWord())
            return RunEnd::WindowClosed;
        // A resumed run keeps charPos until the interrupted word is done, so that word goes on
        // from the character after the one last taken.
        if (run == Run::Resumed)
            state_.charPos = 0;
        closeWord(lineWords);
    }
}

bool TextPlayer::sendRestOfWord() {
    // The word is taken once, before its first yield. Skip moves wordIndex onto the last word,
    // and the word being heard must still be finished rather than continued with the last
    // word's letters; Pause and Stop leave an empty entry under wordIndex, which cuts it short.
    const std::vector<std::string> characters = textchars::split(currentWord());
    for (;;) {
        if (!view_.yield())
            return false;
        state_.charPos += 1;
        if (currentWord().empty() || state_.charPos > static_cast<int>(characters.size()))
            return true;
        const std::string& character = characters[static_cast<std::size_t>(state_.charPos - 1)];
        state_.currentChar = textchars::upperAscii(character);
        view_.appendText(kDisplayLine, character);
        keyer_.sendCharacter();
    }
}

void TextPlayer::closeWord(int& lineWords) {
    view_.appendText(kDisplayLine, " ");
    state_.wordsPlayed += 1;
    view_.setText(kWordsPlayedLabel, numtext::plain(state_.wordsPlayed));
    keyer_.gap(kWordGapUnits);
    lineWords += 1;
    if (lineWords == kWordsPerDisplayLine) {
        lineWords = 0;
        view_.setText(kDisplayLine, " ");
    }
}

void TextPlayer::pause() {
    state_.pausedIndex = state_.wordIndex;
    state_.pausedCharPos = state_.charPos;
    state_.pausedFlag = 1;
    // Past the last word: the running loop finds an empty word and ends at its next word test.
    state_.wordIndex = 2 * state_.wordCount;
    view_.setText(kPauseButton, caption::kResume);
}

void TextPlayer::resume() {
    view_.setText(kPauseButton, caption::kPause);
    state_.pausedFlag = 0;
    // The word drill parks its own counter in pausedIndex too, and that can hold any number the
    // learner typed; the text player's own pauses always lie inside the list, so a value outside
    // it is brought to the nearest end rather than used as a position.
    const double savedIndex =
        std::clamp(state_.pausedIndex, 0.0, double{TrainerState::kWordListSize});
    state_.wordIndex = static_cast<int>(savedIndex) - 1;
    state_.charPos = state_.pausedCharPos;
    if (playLoop(Run::Resumed) == RunEnd::EndOfText && nextTextLoaded())
        go();
}

bool TextPlayer::nextTextLoaded() {
    return state_.continuousPlay == 1 && nextFile_ != nullptr && nextFile_->loadNextFile();
}

void TextPlayer::stop() {
    view_.setText(kTextBox, "");
    view_.repaint(kTextBox);
    state_.continuousPlay = 0;
    // Go on the empty text resets every counter, so a run interrupted by this click finds an
    // empty list when it continues and ends after at most one word gap.
    go();
    view_.setEnabled(kPauseButton, false);
}

void TextPlayer::skip() {
    state_.groupCounter = state_.scanPos;
    state_.wordIndex = state_.wordCount;
}

// wordIndex is moved by other handlers during the yields; a position outside the list reads as
// an empty word, as the list's unused entries do, instead of reaching past its end.
const std::string& TextPlayer::currentWord() const {
    static const std::string kNoWord;
    const bool inList = state_.wordIndex >= 0 && state_.wordIndex < TrainerState::kWordListSize;
    return inList ? state_.wordList[static_cast<std::size_t>(state_.wordIndex)] : kNoWord;
}
