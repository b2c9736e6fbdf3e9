#pragma once

#include "engine/keying_timeline.h"
#include "engine/tone_output.h"
#include "fake_clock.h"

#include <string>
#include <vector>

// Records what the keying engine plays, in order: every tone with its pitch and length, and
// every delay unit. Stands in for the sound output in tests, and keeps the keying's time on a
// fake clock: a tone moves it to the tone's end.
class KeyingTrace : public ToneOutput {
public:
    KeyingTrace();
    void playTone(const ::Tone& tone) override;
    // Makes `timeline` report each delay unit into this trace.
    void listen(KeyingTimeline& timeline);
    FakeClock& clock() { return clock_; }

    // The trace as text: a tone as "HZxMS", a run of delay units as "NU", separated by blanks;
    // the letter A at 700 Hz with a dot of 89 ms and a dash of 250 ms reads "700x89 1U 700x250
    // 13U".
    std::string text() const;
    // Every tone as it was handed over, its start on the timeline included.
    const std::vector<::Tone>& tones() const { return tones_; }
    // What a listener writes down, read back from the tones (a dot shorter than the midpoint of
    // `dotMs` and `dashMs`) and the silences: a character ends at a gap of 2 or more delay units,
    // a word (a blank) at 20 or more. A tone that spells no character reads as '#'.
    std::string heard(int dotMs = 89, int dashMs = 250) const;
    void clear() { events_.clear(), tones_.clear(); }

private:
    struct Event {
        bool tone; // or a delay unit
        int hz;
        int ms;
    };
    std::vector<Event> events_;
    std::vector<::Tone> tones_;
    FakeClock clock_; // one read per iteration of a delay unit: 10 us
};
