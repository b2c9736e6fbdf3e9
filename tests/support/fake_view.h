#pragma once

#include "core/trainer_view.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// A window without widgets for the procedures: it remembers what was set, starts every control
// shown and enabled with an empty text, lists `files`, loads `documents` by path, and hands every
// yield to `onYield` (its running number; false closes the window from then on).
class FakeView : public TrainerView {
public:
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    bool isVisible(Control control) const override { return !hidden.count(control); }
    void setVisible(Control control, bool visible) override;
    bool isEnabled(Control control) const override { return !disabled.count(control); }
    void setEnabled(Control control, bool enabled) override;
    bool isChecked(Control control) const override { return checked.count(control) > 0; }
    int sliderPosition() const override { return slider; }
    bool setSliderPosition(double position) override;
    void moveCaretToEnd(Control) override {}
    void repaint(Control) override {}
    void setFocus(Control) override {}
    bool loadDocument(const std::string& path) override;
    bool saveDocument(const std::string& path) override;
    void setFilePattern(std::string_view) override {}
    int fileCount() const override { return static_cast<int>(files.size()); }
    std::string fileName(int index) const override;
    int selectedFile() const override { return selected; }
    void selectFile(int index) override { selected = index; }
    void refreshFiles() override {}
    bool yield() override;

    std::map<Control, std::string> texts;
    std::set<Control> hidden, disabled, checked;
    int slider = 0;
    std::vector<std::string> files;
    std::map<std::string, std::string> documents; // path -> text; a missing path fails to load
    int selected = -1;
    long yields = 0;
    bool closed = false;
    std::function<bool(long)> onYield;
    std::function<void(Control)> onChange; // a box's text or the slider changed, as typing would
};
