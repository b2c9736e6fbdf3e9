#pragma once

#include "audio/sound_system.h"
#include "engine/tone_output.h"

#include <memory>

// The sound output: one mono 48 kHz stream (through the sound server, or PortAudio where none
// answers; see sound_system.h) that runs from start-up to the end, playing silence between
// tones, so that no element is ever clipped by a device that is still starting.
//
// Timing: playTone hands the tone to the stream's thread and sleeps until its end on the keying
// timeline; it never waits for the device. The stream's thread starts the tone on the frame that
// belongs to its timeline start + a constant lead, rendered to the exact sample length, so the
// sound follows the timeline at a constant delay and a silence between two tones (the
// busy-wait) is heard at exactly its length. Both sound systems share this scheduling.
//
// Opening does not hold up the window: nothing happens until start() (the program calls it after
// the window's first paint), which returns at once while a device thread opens the stream. A tone
// asked for before then starts the output itself and waits for it: it sounds late rather than not
// at all. Without a device or sound server, or after it went away, tones are timed silence and
// nothing is reported; the device thread tries again once a second, choosing the sound system
// afresh each time.
//
// Threads: construct, call playTone and destroy on the window's thread only.
class StreamToneOutput final : public ToneOutput {
public:
    explicit StreamToneOutput(SoundSystem system = SoundSystem::Automatic);
    // Lets the last tone sound to its end, then stops and closes the stream.
    ~StreamToneOutput() override;

    // Starts opening the stream on the device thread, unless that is under way.
    void start();

    StreamToneOutput(const StreamToneOutput&) = delete;
    StreamToneOutput& operator=(const StreamToneOutput&) = delete;

    void playTone(const Tone& tone) override;
    std::int64_t lateToneAllowanceNs() const override;

private:
    struct Device;
    SoundSystem system_;
    std::unique_ptr<Device> device_;
};
