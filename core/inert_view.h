#pragma once

#include "core/trainer_view.h"

// A window with nothing in it, for programs that drive procedures without widgets (a sound file's
// run, benchmarks): every box is empty, nothing is ticked, no file is listed, and whatever is set
// is dropped. Derive from it and override just the calls the procedures depend on.
class InertView : public TrainerView {
public:
    std::string text(Control) const override { return {}; }
    void setText(Control, std::string_view) override {}
    bool isVisible(Control) const override { return true; }
    void setVisible(Control, bool) override {}
    bool isEnabled(Control) const override { return true; }
    void setEnabled(Control, bool) override {}
    bool isChecked(Control) const override { return false; }
    int sliderPosition() const override { return 0; }
    bool setSliderPosition(double) override { return false; }
    void moveCaretToEnd(Control) override {}
    void repaint(Control) override {}
    void setFocus(Control) override {}
    bool loadDocument(const std::string&) override { return false; }
    bool saveDocument(const std::string&) override { return false; }
    void setFilePattern(std::string_view) override {}
    int fileCount() const override { return 0; }
    std::string fileName(int) const override { return {}; }
    int selectedFile() const override { return -1; }
    void selectFile(int) override {}
    void refreshFiles() override {}
    bool yield() override { return true; }
};
