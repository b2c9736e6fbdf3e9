#include "library/text_library.h"

#include "core/captions.h"

TextLibrary::TextLibrary(TrainerState& state, TrainerView& view, TypingPanel& typingPanel)
    : state_(state), view_(view), typingPanel_(typingPanel) {}

void TextLibrary::openPanel() {
    typingPanel_.open();
    // The caption alone changes: the pause position is kept, so "Jalan" resumes the words of the
    // last scan, not the file chosen next.
    if (view_.text(kPauseButton) == caption::kPause)
        view_.setText(kPauseButton, caption::kResume);
    view_.setVisible(kLibraryPanel, true);
    state_.panelMode = Panel::Text;
}

void TextLibrary::closePanel() {
    view_.setVisible(kLibraryPanel, false);
}

void TextLibrary::choose(int index) {
    state_.continuousPlay = 1;
    state_.wordCount = 1;
    state_.atWordBreak = 1;
    state_.fileIndex = index;
    view_.selectFile(index);
    // A file that cannot be loaded stops the choice here, quietly: the box keeps its text and
    // the panel stays open for another choice.
    const std::string name = view_.fileName(index);
    if (name.empty() || !view_.loadDocument(state_.libraryFolder + name))
        return;
    state_.currentFileName = name;
    view_.setText(kSaveNameBox, name);
    view_.setVisible(kLibraryPanel, false);
}

// A learner who leaves continuous play running expects it to go on: a file that has gone or
// cannot be read is passed over and the following ones are tried, at most once round the list.
// When none can be loaded (or the list is empty) playing ends quietly, as at a plain end of text.
bool TextLibrary::loadNextFile() {
    const int count = view_.fileCount();
    for (int attempt = 0; attempt < count; ++attempt) {
        state_.fileIndex += 1;
        if (state_.fileIndex > count - 1)
            state_.fileIndex = 0;
        view_.selectFile(state_.fileIndex);
        const std::string name = view_.fileName(state_.fileIndex);
        if (!view_.loadDocument(state_.libraryFolder + name))
            continue;
        state_.currentFileName = name;
        view_.setText(kSaveNameBox, name);
        return true;
    }
    return false;
}
