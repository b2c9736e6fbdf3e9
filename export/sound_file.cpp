#include "export/sound_file.h"

#include "audio/tone_shape.h"

#include <algorithm>
#include <cctype>
#include <sndfile.h>

namespace {
std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.find_last_of("./");
    if (dot == std::string::npos || name[dot] != '.')
        return {};
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
} // namespace

SoundFile::~SoundFile() {
    if (file_)
        sf_close(file_);
}

int SoundFile::formatFor(const std::string& name) {
    const std::string extension = extensionOf(name);
    if (extension == "wav")
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (extension == "flac")
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (extension == "ogg")
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (extension == "mp3")
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return 0;
}

std::string SoundFile::create(const std::string& path, int format) {
    SF_INFO info{};
    info.samplerate = ToneShape::kSampleRate;
    info.channels = 1;
    info.format = format;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_)
        return std::string("cannot write the sound file: ") + sf_strerror(nullptr);
    format_ = format;
    // Samples at full scale are written as full scale, never clipped or wrapped.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return {};
}

namespace {
// A WAV file counts its bytes in 32 bits: 16-bit samples at 48 kHz fill it after 12.4 hours.
constexpr std::int64_t kMostWavFrames = (0xFFFFFFFFLL - 44) / 2;
} // namespace

bool SoundFile::write(const float* samples, std::size_t count) {
    const auto frames = static_cast<sf_count_t>(count);
    frames_ += frames;
    if ((format_ & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV && frames_ > kMostWavFrames) {
        failure_ = "longer than a WAV file can hold (12 hours): choose .flac, .ogg or .mp3";
        return false;
    }
    if (sf_writef_float(file_, samples, frames) == frames)
        return true;
    failure_ = std::string("cannot write the sound file: ") + sf_strerror(file_);
    return false;
}

std::string SoundFile::close() {
    if (file_ && sf_close(file_) != 0 && failure_.empty())
        failure_ = "cannot finish the sound file";
    file_ = nullptr;
    return failure_;
}
