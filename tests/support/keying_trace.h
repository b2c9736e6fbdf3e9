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
