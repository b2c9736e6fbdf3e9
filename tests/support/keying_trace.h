#pragma once

#include "engine/busy_wait.h"
#include "engine/tone_output.h"

#include <string>
#include <vector>

// Records what the keying engine plays, in order: every tone with its pitch and length, and
// every delay unit. Stands in for the sound output in tests.
class KeyingTrace : public ToneOutput {
public:
    struct Tone {
        int hz;
        int ms;
    };

    void playTone(int hz, int ms) override;
    // Makes `wait` report each delay unit into this trace.
    void listen(BusyWait& wait);

    // The trace as text: a tone as "HZxMS", a run of delay units as "NU", separated by blanks;
    // the letter A at 700 Hz with a dot of 89 ms and a dash of 250 ms reads "700x89 1U 700x250
    // 13U".
    std::string text() const;
    std::vector<Tone> tones() const;
    // What a listener writes down, read back from the tones (a dot shorter than the midpoint of
    // `dotMs` and `dashMs`) and the silences: a character ends at a gap of 2 or more delay units,
    // a word (a blank) at 20 or more. A tone that spells no character reads as '#'.
    std::string heard(int dotMs = 89, int dashMs = 250) const;
    int delayUnits() const;
    // Iterations counted by each delay unit, in order.
    std::vector<long long> iterations() const;
    void clear() { events_.clear(); }

private:
    struct Event {
        bool tone;
        int hz;
        int ms;
        long long iterations;
    };
    std::vector<Event> events_;
};
