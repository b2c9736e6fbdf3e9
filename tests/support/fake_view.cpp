#include "fake_view.h"

#include <utility>

void FakeView::setText(Control control, std::string_view value) {
    if (texts[control] != value && (texts[control] = value, onChange))
        onChange(control);
}

bool FakeView::setSliderPosition(double position) {
    if (!(position >= 0 && position <= 1000))
        return false;
    const int old = std::exchange(slider, static_cast<int>(position));
    if (slider != old && onChange)
        onChange(Control::HScroll1);
    return true;
}

bool FakeView::loadDocument(const std::string& path) {
    const bool found = documents.contains(path);
    if (found)
        texts[kTextBox] = documents[path];
    return found;
}
