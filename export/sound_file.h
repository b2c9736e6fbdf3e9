#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

// A mono sound file at the tone shape's sample rate, written through libsndfile in the format its
// name's extension asks for: .wav (16-bit PCM, the plain kind every player reads), .flac (16-bit),
// .ogg (Ogg Vorbis) or .mp3 (MPEG layer III).
class SoundFile {
public:
    SoundFile() = default;
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // The libsndfile format for the extension of `name`; 0 for any other.
    static int formatFor(const std::string& name);
    // Makes the file at `path` in `format`. Returns why it failed, or "".
    std::string create(const std::string& path, int format);
    bool write(const float* samples, std::size_t count);
    // Finishes the file (headers, the encoder's last frames). Returns why it failed, or "".
    std::string close();

private:
    SNDFILE* file_ = nullptr;
    int format_ = 0;
    std::int64_t frames_ = 0;
    std::string failure_;
};
