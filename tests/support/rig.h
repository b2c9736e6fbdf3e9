#pragma once

#include "fake_view.h"
#include "keying_trace.h"
#include "trainer/trainer.h"

#include <functional>

// The trainer's procedures over a window without widgets, keyed into a trace, with the keying
// that a first start gives: dash 250 ms, ratio 2.8 (dot 89 ms), 700 Hz, delay limit 3000, three
// gap repeats. The slider and the ratio box run their handlers when they change, as in the window.
struct Rig {
    explicit Rig(std::string programFolder = "/tmp")
        : t(state, view, trace, random, (trace.listen(timeline), timeline),
            std::move(programFolder)) {
        view.onChange = [this](Control control) {
            if (control == kRatioBox)
                t.speedPitch.ratioChanged();
            if (control == Control::HScroll1)
                t.speedPitch.sliderChanged();
        };
        for (auto [box, value] : {std::pair{kStoredDelayLimit, "3000"},
                                  {kStoredDash, "250"},
                                  {kStoredPitch, "700"},
                                  {kRatioBox, "2.8"}})
            view.texts[box] = value;
        t.speedPitch.activateLengths();
        t.speedPitch.activatePitchAndDelay();
        t.groups.fillSymbols();
        view.hidden = {kGroupsPanel, kTextPanel, kLibraryPanel, kSavePanel}; // as the window starts
        trace.clear();
    }
    // Runs `action` in the k-th yield of whatever runs next, as a click between two characters
    // would; an action that returns false closes the window there.
    void atYield(long k, std::function<bool()> action) {
        view.yields = 0;
        view.onYield = [k, action](long n) { return n != k || action(); };
    }

    TrainerState state;
    FakeView view;
    KeyingTrace trace;
    RandomSource random;
    KeyingTimeline timeline{trace.clock()};
    Trainer t;
};
