#include "keying_trace.h"

#include "engine/morse_table.h"

void KeyingTrace::playTone(const ::Tone& tone) {
    events_.push_back({true, tone.hz, tone.ms, 0});
    clock_.advanceTo(tone.startNs + std::int64_t{tone.ms} * 1'000'000);
}

void KeyingTrace::listen(KeyingTimeline& timeline) {
    timeline.setObserver([this](double, std::int64_t iterations) {
        events_.push_back({false, 0, 0, static_cast<long long>(iterations)});
    });
}

std::string KeyingTrace::text() const {
    std::string out;
    int units = 0;
    auto flushUnits = [&] {
        if (units > 0)
            out += (out.empty() ? "" : " ") + std::to_string(units) + "U";
        units = 0;
    };
    for (const Event& e : events_) {
        if (!e.tone) {
            ++units;
            continue;
        }
        flushUnits();
        out += (out.empty() ? "" : " ") + std::to_string(e.hz) + "x" + std::to_string(e.ms);
    }
    flushUnits();
    return out;
}

std::vector<KeyingTrace::Tone> KeyingTrace::tones() const {
    std::vector<Tone> out;
    for (const Event& e : events_)
        if (e.tone)
            out.push_back({e.hz, e.ms});
    return out;
}

std::string KeyingTrace::heard(int dotMs, int dashMs) const {
    std::string out, elements;
    const auto endCharacter = [&] {
        if (elements.empty())
            return;
        char found = '#';
        for (const auto& entry : morse::table())
            if (entry.elements == elements)
                found = entry.character[0];
        out += found;
        elements.clear();
    };
    int units = 0;
    for (const Event& e : events_) {
        if (!e.tone) {
            ++units;
            continue;
        }
        if (units >= 2)
            endCharacter();
        if (units >= 20 && !out.empty())
            out += ' ';
        units = 0;
        elements += 2 * e.ms < dotMs + dashMs ? '.' : '-';
    }
    endCharacter();
    if (units >= 20 && !out.empty())
        out += ' ';
    return out;
}
