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
    std::string text(Control c) const override { return texts.contains(c) ? texts.at(c) : ""; }
    void setText(Control control, std::string_view text) override;
    bool isVisible(Control c) const override { return !hidden.contains(c); }
    void setVisible(Control c, bool on) override { on ? hidden.erase(c) : (hidden.insert(c), 0); }
    bool isEnabled(Control c) const override { return !disabled.contains(c); }
    void setEnabled(Control c, bool on) override {
        on ? disabled.erase(c) : (disabled.insert(c), 0);
    }
    bool isChecked(Control c) const override { return checked.contains(c); }
    int sliderPosition() const override { return slider; }
    bool setSliderPosition(double position) override;
    void moveCaretToEnd(Control) override {}
    void repaint(Control) override {}
    void setFocus(Control) override {}
    bool loadDocument(const std::string& path) override;
    bool saveDocument(const std::string& path) override {
        return documents[path] = text(kTextBox), true;
    }
    void setFilePattern(std::string_view) override {}
    int fileCount() const override { return static_cast<int>(files.size()); }
    std::string fileName(int i) const override {
        return i >= 0 && i < fileCount() ? files[std::size_t(i)] : "";
    }
    int selectedFile() const override { return selected; }
    void selectFile(int index) override { selected = index; }
    void refreshFiles() override {}
    bool yield() override {
        return ++yields, closed = closed || (onYield && !onYield(yields)), !closed;
    }

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
