#include "audio/tone_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;

// The integral of the 4-term Blackman-Harris window over [0, x], scaled to reach 1 at x = 1.
// The window is symmetric, so the edge passes 0.5 exactly at x = 0.5 and a fall is the rise
// read backwards.
double risingEdge(double x) {
    constexpr double a0 = 0.35875, a1 = 0.48829, a2 = 0.14128, a3 = 0.01168;
    return x - a1 / (kTwoPi * a0) * std::sin(kTwoPi * x) +
           a2 / (2 * kTwoPi * a0) * std::sin(2 * kTwoPi * x) -
           a3 / (3 * kTwoPi * a0) * std::sin(3 * kTwoPi * x);
}

std::int64_t positiveModulo(std::int64_t value, std::int64_t divisor) {
    const std::int64_t rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}
} // namespace

std::int64_t ToneShape::framesFor(int ms) {
    return ms <= 0 ? 0 : static_cast<std::int64_t>(ms) * kSampleRate / 1000;
}

ToneShape::ToneShape(int hz, int ms, std::int64_t phaseFrame, std::int64_t maxHalfRise,
                     std::int64_t maxHalfFall)
    : hz_(isPlayable(hz) ? hz : 0), length_(framesFor(ms)),
      // A tone shorter than one edge gets edges as long as itself: rise and fall then meet at
      // full level in the middle and the 50 % points stay where they belong.
      halfRise_(std::clamp<std::int64_t>(maxHalfRise, 0,
                                         std::min<std::int64_t>(kEdgeFrames, length_) / 2)),
      halfFall_(std::clamp<std::int64_t>(maxHalfFall, 0,
                                         std::min<std::int64_t>(kEdgeFrames, length_) / 2)),
      phaseFrame_(positiveModulo(phaseFrame, kSampleRate)) {}

double ToneShape::envelope(std::int64_t frame) const {
    const std::int64_t total = totalFrames();
    if (frame < 0 || frame >= total)
        return 0;
    // An edge of 0 frames is no edge: the tone is at full level from its first frame or to its
    // last.
    const auto edge = [](std::int64_t intoEdge, std::int64_t halfEdge) {
        return intoEdge < 2 * halfEdge
                   ? risingEdge(static_cast<double>(intoEdge) / static_cast<double>(2 * halfEdge))
                   : 1.0;
    };
    return std::min(edge(frame, halfRise_), edge(total - frame, halfFall_));
}

void ToneShape::addTo(float* out, std::int64_t first, std::size_t count) const {
    if (isSilent())
        return;
    const std::int64_t begin = std::max<std::int64_t>(first, 0);
    const std::int64_t end = std::min(first + static_cast<std::int64_t>(count), totalFrames());
    if (begin >= end)
        return;
    // Each piece starts from a phase taken from whole numbers, so it never drifts however long
    // the tone; within the piece the sine turns by a fixed rotation per frame, far cheaper than a
    // sine per frame (this runs in the audio callback).
    const std::int64_t cycleFrames = (begin + phaseFrame_) % kSampleRate * hz_ % kSampleRate;
    const double phase = kTwoPi * static_cast<double>(cycleFrames) / kSampleRate;
    const double step = kTwoPi * hz_ / kSampleRate;
    const double turnCos = std::cos(step), turnSin = std::sin(step);
    double cosine = std::cos(phase), sine = std::sin(phase);
    for (std::int64_t frame = begin; frame < end; ++frame) {
        out[frame - first] += static_cast<float>(kPeak * envelope(frame) * sine);
        const double nextCosine = cosine * turnCos - sine * turnSin;
        sine = sine * turnCos + cosine * turnSin;
        cosine = nextCosine;
    }
}
