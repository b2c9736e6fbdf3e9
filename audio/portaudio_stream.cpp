#include "audio/portaudio_stream.h"

#include "audio/tone_shape.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {
constexpr unsigned long kFramesPerBuffer = 256;
constexpr double kSuggestedLatencySeconds = 0.030;
// Through ALSA (and PulseAudio's plugin) the device's buffer is cut into this many periods, each
// a wake-up of PortAudio's and the plugin's threads. PortAudio's default of 4 makes periods of
// 512 frames, and a stream of silence alone then cost 1.4-1.6 % of a core here; with 3 the
// periods are 768 frames (the callbacks still get 256 frames, three in a row) and it costs
// about 1 %.
constexpr int kAlsaPeriods = 3;

// PortAudio's back ends (ALSA, JACK) print their device probing on stderr; the learner's
// terminal should stay clean. Redirects the process's stderr to /dev/null while it lives.
class SilencedStderr {
public:
    SilencedStderr() : saved_(fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0)) {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~SilencedStderr() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    SilencedStderr(const SilencedStderr&) = delete;
    SilencedStderr& operator=(const SilencedStderr&) = delete;

private:
    int saved_;
};

int callback(const void*, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags, void* source) {
    static_cast<SoundSource*>(source)->render(static_cast<float*>(output), frameCount);
    return paContinue;
}
} // namespace

PortAudioStream::~PortAudioStream() {
    close(false);
}

bool PortAudioStream::open(SoundSource& source) {
    const SilencedStderr quiet;
    if (Pa_Initialize() != paNoError)
        return false;
    initialized_ = true;
    PaAlsa_SetNumPeriods(kAlsaPeriods);
    PaStreamParameters parameters{};
    parameters.device = Pa_GetDefaultOutputDevice();
    parameters.channelCount = 1;
    parameters.sampleFormat = paFloat32;
    parameters.suggestedLatency = kSuggestedLatencySeconds;
    if (parameters.device == paNoDevice ||
        Pa_OpenStream(&stream_, nullptr, &parameters, ToneShape::kSampleRate, kFramesPerBuffer,
                      paClipOff, &callback, &source) != paNoError) {
        stream_ = nullptr;
        close(false);
        return false;
    }
    if (Pa_StartStream(stream_) != paNoError) {
        close(false);
        return false;
    }
    return true;
}

void PortAudioStream::close(bool drain) {
    const SilencedStderr quiet;
    if (stream_ != nullptr) {
        if (drain)
            Pa_StopStream(stream_);
        else
            Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        stream_ = nullptr;
    }
    if (initialized_)
        Pa_Terminate();
    initialized_ = false;
}

bool PortAudioStream::isRunning() const {
    return stream_ != nullptr && Pa_IsStreamActive(stream_) == 1;
}

double PortAudioStream::outputLatencySeconds() const {
    const PaStreamInfo* info = stream_ != nullptr ? Pa_GetStreamInfo(stream_) : nullptr;
    return info != nullptr ? info->outputLatency : 0.0;
}
