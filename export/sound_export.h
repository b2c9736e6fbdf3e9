#pragma once

#include "core/random_source.h"
#include "core/trainer_state.h"
#include "core/trainer_view.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The window's settings that shape what a run keys and how it sounds.
struct KeyingSettings {
    double delayLimit = 0;
    int dashMillis = 0;
    double dotMillis = 0;
    int gapRepeats = 0;
    std::string pitch; // the pitch box, read at every element as the keyer reads it
    bool funTone = false;
    // The random groups panel: the symbol table, the chosen set and the two boxes.
    std::array<std::string, TrainerState::kSymbolCount> symbols{};
    int charSetStart = 0;
    int charSetWidth = 0;
    std::string groupSize;
    std::string groupCount;

    // What the window holds now.
    static KeyingSettings of(const TrainerState& state, const TrainerView& view);
    // What the window would hold after its first activation in `programFolder`: the stored
    // settings read as the window reads them, and the panels' design values.
    static KeyingSettings stored(const std::string& programFolder);
};

struct SoundExport {
    KeyingSettings settings;
    std::string text; // keyed as the text player keys it; empty: a fresh run of random groups
    std::uint64_t seed = RandomSource::kStartState; // of the groups and the "Fun tone" pitches
    bool withText = false; // also write what was sent beside the sound file, as NAME.txt
};

struct ExportOutcome {
    std::string error; // why nothing was written, or ""
    bool cancelled = false;
    std::string sent;        // the characters keyed, with a blank after each group or word
    std::int64_t frames = 0; // samples in the file
};

// The companion text of a sound file: its name with ".txt" added ("walk.ogg.txt"), so it never
// replaces the text the sound was made from.
std::string companionTextPath(const std::string& soundPath);

// Keys the run through the trainer's own procedures on an offline timeline and writes its sound
// to `path` (.wav, .flac, .ogg or .mp3). `progress` is told the share done (0 to 1) before every
// character; false cancels. A run that fails or is cancelled leaves no file behind, and never
// touches a file already at `path`.
ExportOutcome exportSound(const SoundExport& job, const std::string& path,
                          const std::function<bool(double done)>& progress = {});
