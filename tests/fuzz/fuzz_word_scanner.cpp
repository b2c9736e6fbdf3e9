// Feeds arbitrary text to the word scanner, as it is and repeated past the scan limit, and checks
// the word list against a plain split of the examined characters at blanks and line breaks: the
// players and the word drill key exactly the words the learner sees, none lost, none run
// together, nothing past the count.
#include "core/text_characters.h"
#include "player/word_scanner.h"
#include "tests/support/fake_view.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kScanLimit = 10000;

void require(bool condition) {
    if (!condition)
        std::abort();
}

// The characters the scanner may examine, joined: at most the first kScanLimit. The split into
// characters must give back every byte, and keep each blank and line break a character of its
// own, or a separator could hide inside a word.
std::string examinedPrefix(const std::string& text, int* characters) {
    const std::vector<std::string> pieces = textchars::split(text);
    std::string joined, prefix;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto high = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
        require(pieces[i].size() == 1 ||
                (!pieces[i].empty() && std::ranges::all_of(pieces[i], high)));
        joined += pieces[i];
        prefix += i < static_cast<std::size_t>(kScanLimit) ? pieces[i] : "";
    }
    require(joined == text);
    *characters = static_cast<int>(std::min(pieces.size(), static_cast<std::size_t>(kScanLimit)));
    return prefix;
}

// The words between blanks and line breaks.
std::vector<std::string> splitAtSeparators(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find_first_of(" \r\n", start)) != std::string::npos;
         start = end + 1)
        if (end > start)
            words.push_back(text.substr(start, end - start));
    if (start < text.size())
        words.push_back(text.substr(start));
    return words;
}

void check(const std::string& text) {
    TrainerState state;
    // Words of an earlier, longer text must not survive the scan.
    std::fill(state.wordList.begin(), state.wordList.end(), std::string("stale"));
    FakeView view;
    view.texts[Control::rtf] = text;
    state.wordCount = 0;
    state.atWordBreak = 1;
    WordScanner(state, view).scanWords();

    int characters = 0;
    const std::vector<std::string> expected = splitAtSeparators(examinedPrefix(text, &characters));
    require(state.scanPos == characters + 1);
    require(state.wordCount == static_cast<int>(expected.size()));
    require(view.text(Control::Label4) == wordTotalText(state.wordCount));
    for (std::size_t i = 0; i < state.wordList.size(); ++i) {
        const bool listed = i >= 1 && i <= expected.size();
        require(state.wordList[i] == (listed ? expected[i - 1] : std::string()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(text);
    if (!text.empty()) {
        std::string repeated;
        while (repeated.size() <= static_cast<std::size_t>(kScanLimit))
            repeated += text;
        check(repeated);
    }
    return 0;
}
