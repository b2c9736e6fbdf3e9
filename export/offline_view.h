#pragma once

#include "core/inert_view.h"

#include <functional>
#include <map>
#include <set>
#include <string>

// The trainer's window as a run that is written to a sound file sees it: the boxes hold their
// texts, the slider its position, and nothing is drawn. There is no library: no file loads. The
// yield asks `onYield` whether to go on; a run that is cancelled ends there as if the window had
// closed, after the character and gap it was keying.
class OfflineView final : public InertView {
public:
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    bool isVisible(Control control) const override { return !hidden_.count(control); }
    void setVisible(Control control, bool visible) override;
    bool isChecked(Control control) const override { return checked_.count(control) > 0; }
    void setChecked(Control control, bool checked);
    int sliderPosition() const override { return slider_; }
    bool setSliderPosition(double position) override;
    bool yield() override;

    // Asked at every yield; false ends the run for good.
    std::function<bool()> onYield;

private:
    std::map<Control, std::string> texts_;
    std::set<Control> hidden_, checked_;
    int slider_ = 0;
    bool closed_ = false;
};
