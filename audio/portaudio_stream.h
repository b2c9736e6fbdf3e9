#pragma once

#include "audio/sound_stream.h"

// The sound card through PortAudio (ALSA underneath): the fallback where no sound server
// answers. Opening takes about 0.1-0.3 s, because PortAudio enumerates every ALSA device the
// system defines. While it opens or closes, the process's stderr goes to /dev/null (PortAudio's
// back ends print their probing there), so a message another thread prints in that moment is
// lost. When the sound server dies under a running stream, PortAudio's ALSA thread still prints
// three lines there; nothing outside PortAudio can catch those.
class PortAudioStream final : public SoundStream {
public:
    PortAudioStream() = default;
    ~PortAudioStream() override;
    PortAudioStream(const PortAudioStream&) = delete;
    PortAudioStream& operator=(const PortAudioStream&) = delete;

    bool open(SoundSource& source) override;
    void close(bool drain) override;
    bool isRunning() const override;
    double outputLatencySeconds() const override;

private:
    void* stream_ = nullptr;
    bool initialized_ = false;
};
