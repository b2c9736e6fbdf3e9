#include "tones_heard.h"

#include "audio/tone_shape.h"

#include <cmath>
#include <cstddef>
#include <numbers>

std::vector<std::pair<double, double>> tonesHeard(const std::vector<float>& sound, int hz) {
    constexpr int kRate = ToneShape::kSampleRate;
    const auto sine = [hz](std::size_t f) {
        return std::sin(2 * std::numbers::pi * double(f * std::size_t(hz) % kRate) / kRate);
    };
    const auto silent = [&](std::size_t f) { return sound[f] == 0 && std::abs(sine(f)) > 1e-3; };
    const auto half = [&](std::size_t from, std::size_t to, int step) {
        double before = 0, at = double(from) - step; // silence lies just outside the run
        for (std::size_t f = from; f != to; f += std::size_t(step)) {
            const double e =
                std::abs(sine(f)) < 0.05 ? -1 : std::abs(sound[f] / sine(f)) / ToneShape::kPeak;
            if (e >= 0.5)
                return at + (double(f) - at) * (0.5 - before) / (e - before);
            if (e >= 0)
                before = e, at = double(f);
        }
        return -1.0;
    };
    std::vector<std::pair<double, double>> heard;
    for (std::size_t f = 0, end = 0; f < sound.size(); f = end + 1) {
        for (end = f; end < sound.size() && !silent(end);)
            ++end;
        if (const double start = end > f ? half(f, end, 1) : -1; start >= 0) // not a lone 0
            heard.emplace_back(start, half(end - 1, f - 1, -1));
    }
    return heard;
}
