#pragma once

#include "engine/morse_table.h"

#include <string>

// What the learner should hear, in KeyingTrace's text form ("700x89 13U ..."), built up step by
// step with the fixture's default keying: dot 89 ms, dash 250 ms, 700 Hz.
class ExpectedKeying {
public:
    explicit ExpectedKeying(int gapRepeats) : gapRepeats_(gapRepeats) {}

    void units(int count) { pendingUnits_ += count; }
    // A gap loop: `perRepeat` delay units for each gap repeat.
    void gap(int perRepeat) { units(perRepeat * gapRepeats_); }
    // The sender: each element followed by one unit, then the character gap. A character it
    // does not know is only that gap.
    void character(const std::string& c) {
        for (const auto& entry : morse::table()) {
            if (entry.character != c)
                continue;
            for (char element : entry.elements) {
                tone(element == '.' ? 89 : 250);
                units(1);
            }
        }
        gap(4);
    }

    std::string text() const {
        std::string out = text_;
        if (pendingUnits_ > 0)
            out += (out.empty() ? "" : " ") + std::to_string(pendingUnits_) + "U";
        return out;
    }

private:
    void tone(int ms) {
        text_ = text();
        pendingUnits_ = 0;
        text_ += (text_.empty() ? "" : " ") + std::string("700x") + std::to_string(ms);
    }

    int gapRepeats_;
    int pendingUnits_ = 0;
    std::string text_;
};
