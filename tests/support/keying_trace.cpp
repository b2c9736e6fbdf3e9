#include "keying_trace.h"

#include "engine/morse_table.h"

#include <utility>

// Out of line, as the clock's steps are read in every iteration of a delay unit: built optimised.
KeyingTrace::KeyingTrace() : clock_([] { return std::int64_t{10'000}; }) {}

void KeyingTrace::playTone(const ::Tone& tone) {
    events_.push_back({true, tone.hz, tone.ms});
    tones_.push_back(tone);
    clock_.advanceTo(tone.startNs + std::int64_t{tone.ms} * 1'000'000);
}

void KeyingTrace::listen(KeyingTimeline& timeline) {
    timeline.setObserver([this](double, std::int64_t) { events_.push_back({false, 0, 0}); });
}

// Each tone, and each run of delay units as its count, in order.
template <typename OnTone, typename OnUnits>
static void walk(const auto& events, OnTone onTone, OnUnits onUnits) {
    int units = 0;
    for (const auto& e : events) {
        if (!e.tone) {
            ++units;
            continue;
        }
        if (units > 0)
            onUnits(std::exchange(units, 0));
        onTone(e.hz, e.ms);
    }
    if (units > 0)
        onUnits(units);
}

std::string KeyingTrace::text() const {
    std::string out;
    const auto add = [&](const std::string& piece) { out += (out.empty() ? "" : " ") + piece; };
    walk(
        events_, [&](int hz, int ms) { add(std::to_string(hz) + "x" + std::to_string(ms)); },
        [&](int units) { add(std::to_string(units) + "U"); });
    return out;
}

std::string KeyingTrace::heard(int dotMs, int dashMs) const {
    std::string out, elements;
    const auto gap = [&](int units) {
        if (units >= 2 && !elements.empty()) {
            char found = '#';
            for (const auto& entry : morse::table())
                found = entry.elements == elements ? entry.character[0] : found;
            out += found;
            elements.clear();
        }
        if (units >= 20 && !out.empty())
            out += ' ';
    };
    walk(
        events_, [&](int, int ms) { elements += 2 * ms < dotMs + dashMs ? '.' : '-'; }, gap);
    gap(2);
    return out;
}
