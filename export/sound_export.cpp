#include "export/sound_export.h"

#include "core/number_text.h"
#include "core/text_characters.h"
#include "export/offline_clock.h"
#include "export/offline_view.h"
#include "export/rendering_tone_output.h"
#include "export/sound_file.h"
#include "storage/atomic_file.h"
#include "trainer/trainer.h"

#include <algorithm>
#include <limits>

namespace {

// The trainer's procedures over a window without widgets, keying into a sound file.
struct OfflineTrainer {
    OfflineTrainer(const std::string& programFolder, RenderingToneOutput::Sink sink)
        : tone(clock, std::move(sink)),
          trainer(state, view, tone, random, timeline, programFolder) {}

    TrainerState state;
    OfflineView view;
    OfflineClock clock;
    KeyingTimeline timeline{clock};
    RandomSource random;
    RenderingToneOutput tone;
    Trainer trainer;
};

void apply(const KeyingSettings& settings, TrainerState& state, OfflineView& view) {
    state.delayLimit = settings.delayLimit;
    state.dashMillis = settings.dashMillis;
    state.dotMillis = settings.dotMillis;
    state.gapRepeats = settings.gapRepeats;
    state.symbols = settings.symbols;
    state.charSetStart = settings.charSetStart;
    state.charSetWidth = settings.charSetWidth;
    view.setText(kStoredPitch, settings.pitch);
    view.setChecked(kFunToneBox, settings.funTone);
    view.setText(kGroupSizeBox, settings.groupSize);
    view.setText(kGroupCountBox, settings.groupCount);
}

// How far the run has come: words of a text, groups of a drill.
double shareDone(const TrainerState& state, const TrainerView& view, bool text) {
    const double total = text ? state.wordCount : numtext::leadingNumber(view.text(kGroupCountBox));
    const double done = text ? state.wordIndex : state.groupCounter;
    return total > 0 ? std::clamp(done / total, 0.0, 1.0) : 0.0;
}

bool isSeparator(const std::string& c) {
    return c == " " || c == "\r" || c == "\n";
}

// The text player keys at most the first WordScanner::kScanLimit characters of the box. A longer
// text is keyed as continuous play keys one library file after another: in pieces of whole words,
// each played by its own Go, so that between two pieces lies exactly a word gap.
std::vector<std::string> piecesOf(const std::string& text) {
    const std::vector<std::string> characters = textchars::split(text);
    const auto limit = static_cast<std::size_t>(WordScanner::kScanLimit);
    std::vector<std::string> pieces;
    for (std::size_t from = 0; from < characters.size();) {
        std::size_t to = std::min(from + limit, characters.size());
        // Cut after the last separator rather than inside a word (unless one word fills it all).
        if (to < characters.size() && !isSeparator(characters[to])) {
            std::size_t cut = to;
            while (cut > from && !isSeparator(characters[cut - 1]))
                --cut;
            to = cut > from ? cut : to;
        }
        std::string piece;
        for (std::size_t i = from; i < to; ++i)
            piece += characters[i];
        pieces.push_back(std::move(piece));
        from = to;
    }
    return pieces;
}

} // namespace

KeyingSettings KeyingSettings::of(const TrainerState& state, const TrainerView& view) {
    KeyingSettings settings;
    settings.delayLimit = state.delayLimit;
    settings.dashMillis = state.dashMillis;
    settings.dotMillis = state.dotMillis;
    settings.gapRepeats = state.gapRepeats;
    settings.pitch = view.text(kStoredPitch);
    settings.funTone = view.isChecked(kFunToneBox);
    settings.symbols = state.symbols;
    settings.charSetStart = state.charSetStart;
    settings.charSetWidth = state.charSetWidth;
    settings.groupSize = view.text(kGroupSizeBox);
    settings.groupCount = view.text(kGroupCountBox);
    return settings;
}

// The command line exports texts only, so the group panel's boxes stay empty.
KeyingSettings KeyingSettings::stored(const std::string& programFolder) {
    OfflineTrainer offline(programFolder, [](const float*, std::size_t) { return true; });
    offline.trainer.settings.activate();
    return of(offline.state, offline.view);
}

std::string companionTextPath(const std::string& soundPath) {
    return soundPath + ".txt";
}

ExportOutcome exportSound(const SoundExport& job, const std::string& path,
                          const std::function<bool(double)>& progress) {
    ExportOutcome outcome;
    const int format = SoundFile::formatFor(path);
    if (format == 0) {
        outcome.error = "not a sound file name: it must end in .wav, .flac, .ogg or .mp3";
        return outcome;
    }
    outcome.error = atomicfile::replaceWith(path, [&](const std::string& temporary) {
        SoundFile file;
        if (std::string failure = file.create(temporary, format); !failure.empty())
            return failure;
        // No library folder: a text ends where it ends, with no next file.
        OfflineTrainer offline({}, [&file](const float* samples, std::size_t count) {
            return file.write(samples, count);
        });
        apply(job.settings, offline.state, offline.view);
        offline.random.seed(job.seed);
        const bool text = !job.text.empty();
        const std::vector<std::string> pieces = piecesOf(job.text);
        std::size_t piece = 0;
        offline.view.onYield = [&] {
            if (offline.tone.failed())
                return false;
            const double done = shareDone(offline.state, offline.view, text);
            outcome.cancelled =
                progress && !progress(text ? (double(piece) + done) / double(pieces.size()) : done);
            return !outcome.cancelled;
        };
        offline.trainer.sent.setLimit(std::numeric_limits<std::size_t>::max());
        offline.trainer.sent.markNewRun();
        for (; piece < pieces.size() && offline.view.yield(); ++piece) {
            offline.view.setText(kTextBox, pieces[piece]);
            offline.trainer.player.go();
        }
        if (!text)
            offline.trainer.groups.run();
        offline.tone.finish(offline.clock.nowNs());
        outcome.sent = offline.trainer.sent.last().text;
        outcome.frames = offline.tone.framesRendered();
        if (outcome.cancelled)
            return std::string("cancelled");
        if (outcome.sent.empty())
            return std::string("nothing to key: no character of the text has a Morse code, or "
                               "the groups panel asks for no groups");
        const std::string closed = file.close();
        if (closed.empty() && job.withText)
            return atomicfile::replace(companionTextPath(path), outcome.sent);
        return closed;
    });
    if (!outcome.error.empty())
        outcome.frames = 0;
    return outcome;
}
