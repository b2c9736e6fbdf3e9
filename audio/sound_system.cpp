#include "audio/sound_system.h"

#include "audio/portaudio_stream.h"
#include "audio/pulse_stream.h"

namespace {
template <typename Stream> std::unique_ptr<SoundStream> opened(SoundSource& source) {
    auto stream = std::make_unique<Stream>();
    if (!stream->open(source))
        return nullptr;
    return stream;
}
} // namespace

SoundSystem availableSoundSystem() {
    return PulseStream::serverAnswers() ? SoundSystem::PulseAudio : SoundSystem::PortAudio;
}

const char* nameOf(SoundSystem system) {
    switch (system) {
    case SoundSystem::PulseAudio:
        return "sound server (libpulse)";
    case SoundSystem::PortAudio:
        return "PortAudio (ALSA)";
    case SoundSystem::Automatic:
        break;
    }
    return "automatic";
}

std::unique_ptr<SoundStream> openSoundStream(SoundSystem system, SoundSource& source) {
    switch (system) {
    case SoundSystem::PulseAudio:
        return opened<PulseStream>(source);
    case SoundSystem::PortAudio:
        return opened<PortAudioStream>(source);
    case SoundSystem::Automatic:
        break;
    }
    if (auto stream = opened<PulseStream>(source))
        return stream;
    return opened<PortAudioStream>(source);
}
