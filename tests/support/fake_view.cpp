#include "fake_view.h"

std::string FakeView::text(Control control) const {
    const auto found = texts.find(control);
    return found == texts.end() ? std::string() : found->second;
}

void FakeView::setText(Control control, std::string_view value) {
    std::string& stored = texts[control];
    if (stored == value)
        return;
    stored = value;
    if (onChange)
        onChange(control);
}

void FakeView::setVisible(Control control, bool visible) {
    if (visible)
        hidden.erase(control);
    else
        hidden.insert(control);
}

void FakeView::setEnabled(Control control, bool enabled) {
    if (enabled)
        disabled.erase(control);
    else
        disabled.insert(control);
}

bool FakeView::setSliderPosition(double position) {
    if (!(position >= 0 && position <= 1000))
        return false;
    const int old = slider;
    slider = static_cast<int>(position);
    if (slider != old && onChange)
        onChange(Control::HScroll1);
    return true;
}

bool FakeView::loadDocument(const std::string& path) {
    const auto found = documents.find(path);
    if (found == documents.end())
        return false;
    texts[Control::rtf] = found->second;
    return true;
}

bool FakeView::saveDocument(const std::string& path) {
    documents[path] = text(Control::rtf);
    return true;
}

std::string FakeView::fileName(int index) const {
    return index >= 0 && index < fileCount() ? files[static_cast<std::size_t>(index)] : "";
}

bool FakeView::yield() {
    ++yields;
    if (!closed && onYield && !onYield(yields))
        closed = true;
    return !closed;
}
