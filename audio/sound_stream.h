#pragma once

#include <cstddef>

// What feeds a sound stream: asked for each buffer on the stream's own thread.
class SoundSource {
public:
    // Fills `frames` mono samples; no lock, no allocation, no blocking call.
    virtual void render(float* out, std::size_t frames) = 0;

protected:
    ~SoundSource() = default;
};

// One mono float stream at ToneShape::kSampleRate through one sound system, running from open()
// to close(). The tone output owns one and opens it again after a loss.
class SoundStream {
public:
    virtual ~SoundStream() = default;

    // Opens and starts the stream; from then on `source` renders every buffer until close().
    // False when no device or server answers (the stream is then closed again).
    virtual bool open(SoundSource& source) = 0;
    // `drain`: let what is in the device's buffers play out (the normal end); otherwise drop it.
    virtual void close(bool drain) = 0;
    // False once the device or the server has gone.
    virtual bool isRunning() const = 0;
    // From a rendered sample to the speaker, as the sound system tells it.
    virtual double outputLatencySeconds() const = 0;
};
