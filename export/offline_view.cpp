#include "export/offline_view.h"

std::string OfflineView::text(Control control) const {
    const auto found = texts_.find(control);
    return found == texts_.end() ? std::string() : found->second;
}

void OfflineView::setText(Control control, std::string_view text) {
    texts_[control] = text;
}

void OfflineView::setVisible(Control control, bool visible) {
    if (visible)
        hidden_.erase(control);
    else
        hidden_.insert(control);
}

void OfflineView::setChecked(Control control, bool checked) {
    if (checked)
        checked_.insert(control);
    else
        checked_.erase(control);
}

// The slider's range, as the window's. Nothing here needs the slider's handler: the settings
// activation derives the lengths from the position itself.
bool OfflineView::setSliderPosition(double position) {
    if (!(position >= 0 && position <= 1000))
        return false;
    slider_ = static_cast<int>(position);
    return true;
}

bool OfflineView::yield() {
    if (!closed_ && onYield && !onYield())
        closed_ = true;
    return !closed_;
}
