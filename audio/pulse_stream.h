#pragma once

#include "audio/sound_stream.h"

#include <memory>

// The sound server (PulseAudio, or PipeWire through pipewire-pulse) through its own client
// library: one playback stream with a small target latency, fed from the client library's
// mainloop thread whenever the server asks for more. Opening takes a few milliseconds and loads
// nothing but the client library. A server is never started for it: when none answers, open()
// fails and the PortAudio fallback plays instead.
class PulseStream final : public SoundStream {
public:
    // Whether a sound server accepts a connection now.
    static bool serverAnswers();

    PulseStream();
    ~PulseStream() override;
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    bool open(SoundSource& source) override;
    // Drops what the server still holds (see disconnect()), drained or not.
    void close(bool drain) override;
    bool isRunning() const override;
    double outputLatencySeconds() const override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};
