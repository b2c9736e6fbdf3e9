#include "library/save_text.h"

#include "storage/program_path.h"

namespace {
// A name that would not make a file of its own inside the settings folder: empty (the folder
// itself), "." and "..", or one that reaches into another folder.
bool staysInFolder(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}
} // namespace

SaveText::SaveText(TrainerView& view, std::string settingsFolder)
    : view_(view), settingsFolder_(std::move(settingsFolder)) {}

void SaveText::togglePanel() {
    view_.setVisible(kSavePanel, !view_.isVisible(kSavePanel));
}

void SaveText::clearName() {
    view_.setText(kSaveNameBox, "");
}

// Saved under exactly the typed name, as Rich Text Format whatever the extension. A save that
// cannot be made (a name that leaves the folder, an unwritable folder, a full disk) writes
// nothing, keeps an existing file of that name intact, and leaves the panel open so the learner
// can correct the name.
void SaveText::save() {
    const std::string name = view_.text(kSaveNameBox);
    if (!staysInFolder(name) || !view_.saveDocument(progpath::join(settingsFolder_, name)))
        return;
    view_.refreshFiles();
    view_.setVisible(kSavePanel, false);
    view_.refreshFiles();
}

void SaveText::cancel() {
    view_.setVisible(kSavePanel, false);
}
