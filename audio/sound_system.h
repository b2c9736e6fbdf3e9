#pragma once

#include "audio/sound_stream.h"

#include <memory>

// Which sound system plays the tones. The sound server's own client library is preferred: it
// opens in milliseconds and keeps little in memory. PortAudio (ALSA underneath) is the fallback
// for systems without a sound server.
enum class SoundSystem { Automatic, PulseAudio, PortAudio };

// What Automatic would use now: PulseAudio when a server answers, else PortAudio.
SoundSystem availableSoundSystem();
// How --version names it.
const char* nameOf(SoundSystem system);
// An open stream through `system` (Automatic tries the server first), or null when it cannot be
// opened.
std::unique_ptr<SoundStream> openSoundStream(SoundSystem system, SoundSource& source);
