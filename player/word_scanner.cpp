#include "player/word_scanner.h"

#include "core/text_characters.h"

#include <algorithm>

namespace {
bool isSeparator(const std::string& c) {
    return c == " " || c == "\r" || c == "\n";
}
} // namespace

WordScanner::WordScanner(TrainerState& state, TrainerView& view) : state_(state), view_(view) {}

void WordScanner::scanWords() {
    std::fill(state_.wordList.begin(), state_.wordList.end(), std::string());
    const std::vector<std::string> text = textchars::split(view_.text(kTextBox));
    const int length = static_cast<int>(text.size());
    for (state_.scanPos = 1; state_.scanPos <= length; ++state_.scanPos) {
        if (state_.scanPos > kScanLimit)
            break;
        const std::string& c = text[static_cast<std::size_t>(state_.scanPos - 1)];
        if (isSeparator(c)) {
            state_.atWordBreak = 1;
            continue;
        }
        if (state_.atWordBreak == 1) {
            state_.wordCount += 1;
            state_.atWordBreak = 0;
        }
        // Callers start from a word count of 0, so the index stays far inside the list; the
        // guard only keeps a caller that did not from writing past its end.
        if (state_.wordCount >= 0 && state_.wordCount < TrainerState::kWordListSize)
            state_.wordList[static_cast<std::size_t>(state_.wordCount)] += c;
    }
    view_.setText(kWordTotalLabel, wordTotalText(state_.wordCount));
}

std::string wordTotalText(int wordCount) {
    // A count is written with room for its sign: a blank before a non-negative number.
    return (wordCount >= 0 ? " " : "") + std::to_string(wordCount) + " PERKATAAN SEMUANYA";
}
