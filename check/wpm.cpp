#include "check/wpm.h"

#include "core/number_text.h"
#include "engine/morse_table.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace wpm {

namespace {

constexpr std::string_view kStandardWord = "PARIS";
constexpr double kMillisPerMinute = 60000;
constexpr double kStandardWordUnits = 50;
constexpr double kStandardRatio = 3;
constexpr int kMaxGapRepeats = 12;
constexpr int kMaxDash = 1000;
// The text player's gaps, in delay units: the sender's character gap per gap repeat and the word
// gap on top of it per gap repeat.
constexpr int kCharacterGapUnits = 4;
constexpr int kWordGapUnits = 8;

// What PARIS is made of, counted from the Morse table.
struct WordShape {
    int characters = 0;
    int dots = 0;
    int dashes = 0;
    int elements() const { return dots + dashes; }
    // Dot units of the characters with the gaps inside them, when a dash is three dots.
    double characterUnits() const { return dots + 3.0 * dashes + (elements() - characters); }
};

WordShape standardWord() {
    WordShape shape;
    for (char c : kStandardWord) {
        for (const auto& entry : morse::table()) {
            if (entry.character != std::string_view(&c, 1))
                continue;
            ++shape.characters;
            shape.dots +=
                static_cast<int>(std::count(entry.elements.begin(), entry.elements.end(), '.'));
            shape.dashes +=
                static_cast<int>(std::count(entry.elements.begin(), entry.elements.end(), '-'));
        }
    }
    return shape;
}

double playedMillis(double length) {
    return std::max(0.0, numtext::roundHalfEven(length));
}

double unitMillis(double delayLimit) {
    return delayLimit > 0 ? std::ceil(delayLimit) * kMillisPerIteration : 0.0;
}

double perMinute(double millis, double words) {
    return millis > 0 ? words * kMillisPerMinute / millis : 0.0;
}

} // namespace

Speeds speedsOf(int dashMillis, double dotMillis, double delayLimit, int gapRepeats) {
    static const WordShape word = standardWord();
    const double dot = playedMillis(dotMillis);
    const double dash = playedMillis(dashMillis);
    const double unit = unitMillis(delayLimit);
    const int repeats = std::max(0, gapRepeats);
    const double tones = word.dots * dot + word.dashes * dash;
    const double characters = tones + (word.elements() - word.characters) * unit;
    const double wholeWord =
        tones + unit * (word.elements() + kCharacterGapUnits * repeats * word.characters +
                        kWordGapUnits * repeats);
    // The characters alone are that share of a standard word.
    return {perMinute(characters, word.characterUnits() / kStandardWordUnits),
            perMinute(wholeWord, 1.0)};
}

KeyingSettings closestSettings(double characterWpm, double effectiveWpm) {
    static const WordShape word = standardWord();
    const double wordMillis = kMillisPerMinute / effectiveWpm;
    KeyingSettings best;
    double bestScore = INFINITY;
    for (int repeats = 1; repeats <= kMaxGapRepeats; ++repeats) {
        const double units =
            word.elements() + (kCharacterGapUnits * word.characters + kWordGapUnits) * repeats;
        for (int dash = 1; dash <= kMaxDash; ++dash) {
            const double dot = playedMillis(dash / kStandardRatio);
            const double silence = wordMillis - word.dots * dot - word.dashes * dash;
            const double limit = std::max(0.0, std::round(silence / units / kMillisPerIteration));
            const Speeds speeds = speedsOf(dash, dash / kStandardRatio, limit, repeats);
            const double characterError = speeds.character / characterWpm - 1;
            const double effectiveError = speeds.effective / effectiveWpm - 1;
            const double unitError = (unitMillis(limit) - dot) / std::max(dot, 1.0);
            const double score = characterError * characterError + effectiveError * effectiveError +
                                 1e-4 * unitError * unitError;
            if (score < bestScore) {
                bestScore = score;
                best = {dash, kStandardRatio, limit, repeats};
            }
        }
    }
    return best;
}

} // namespace wpm
