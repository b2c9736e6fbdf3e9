// Exporting a 10,000-word text as a FLAC file at the first start's settings (12.4 words per
// minute: over 15 hours of sound, more than a WAV file holds): the time it takes, in processor
// seconds and on the clock. Its goal: at least 500 times real time.
#include "bench/goal.h"
#include "export/sound_export.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

namespace {
// Words of 2 to 8 random letters, five on average, as PARIS is long.
std::string words(int count) {
    std::mt19937 random(21);
    std::uniform_int_distribution<int> length(2, 8), letter('a', 'z');
    std::string text;
    for (int i = 0; i < count; ++i) {
        for (int n = length(random); n > 0; --n)
            text += static_cast<char>(letter(random));
        text += i % 12 == 11 ? '\n' : ' ';
    }
    return text;
}
} // namespace

int main() {
    SoundExport job;
    job.settings = {3000, 250, 250 / 2.8, 3, "700", false, {}, 0, 0, "", ""};
    job.text = words(10000);
    const auto folder = std::filesystem::temp_directory_path() / "vornik-export-bench";
    std::filesystem::create_directories(folder);
    const auto file = folder / "words.flac";
    const std::clock_t cpu = std::clock();
    const auto wall = std::chrono::steady_clock::now();
    const ExportOutcome out = exportSound(job, file.string());
    const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    const double soundSeconds = double(out.frames) / 48000;
    if (!out.error.empty()) {
        std::printf("export failed: %s\n", out.error.c_str());
        return 1;
    }
    std::printf("10000 words as FLAC: %.2f h of sound in %.1f s processor, %.1f s clock (%.0f "
                "times real time), %.0f MB\n",
                soundSeconds / 3600, cpuSeconds, wallSeconds, soundSeconds / cpuSeconds,
                double(std::filesystem::file_size(file)) / 1e6);
    std::filesystem::remove(file);
    std::filesystem::remove(folder);
    return soundSeconds / cpuSeconds >= 500 ? 0 : kGoalMissed;
}
