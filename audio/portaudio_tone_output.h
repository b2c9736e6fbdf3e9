#pragma once

#include "engine/tone_output.h"

#include <memory>

// The sound card, through PortAudio: one mono 48 kHz output stream that runs from start-up to
// the end, playing silence between tones, so that no element is ever clipped by a device that
// is still starting.
//
// Timing: playTone hands the tone to the audio callback and sleeps until its end on the keying
// timeline; it never waits for the device. The callback starts the tone on the frame that
// belongs to its timeline start + a constant lead, rendered to the exact sample length, so the
// sound follows the timeline at a constant delay and a silence between two tones (the
// busy-wait) is heard at exactly its length.
//
// Opening does not hold up the window: nothing happens until start() (the program calls it after
// the window's first paint), which returns at once while a device thread opens the stream
// (about 0.1-0.3 s: PortAudio enumerates every ALSA device the system defines). A tone asked for
// before then starts the output itself and waits for it: it sounds late rather than not at all.
// Without a device or sound server, or after it went away, tones are timed silence and nothing is
// reported; the device thread tries again once a second.
//
// Threads: construct, call playTone and destroy on the window's thread only. While the device
// thread opens or closes the stream, the process's stderr goes to /dev/null (PortAudio's back
// ends print their probing there), so a message another thread prints in that moment is lost.
// When the sound server dies under a running stream, PortAudio's ALSA thread still prints three
// lines there; nothing outside PortAudio can catch those.
class PortAudioToneOutput final : public ToneOutput {
public:
    PortAudioToneOutput();
    // Lets the last tone sound to its end, then stops and closes the stream.
    ~PortAudioToneOutput() override;

    // Starts opening the stream on the device thread, unless that is under way.
    void start();

    PortAudioToneOutput(const PortAudioToneOutput&) = delete;
    PortAudioToneOutput& operator=(const PortAudioToneOutput&) = delete;

    void playTone(const Tone& tone) override;
    std::int64_t lateToneAllowanceNs() const override;

private:
    struct Device;
    std::unique_ptr<Device> device_;
};
