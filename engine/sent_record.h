#pragma once

#include "core/trainer_state.h"
#include "engine/keying_observer.h"

#include <cstdint>
#include <string>

// What the last run of random groups, random words or the text player keyed, as the learner
// heard it, with the keying settings it started with.
struct SentRun {
    std::uint64_t serial = 0; // 1 for the first run recorded, one more for each new run
    PlayMode kind = PlayMode::None;
    // The heard characters: only those with a Morse code (the keyer plays nothing for the
    // others, so nobody could copy them), with one blank at each group or word end.
    std::string text;
    std::string characterSet; // the symbols a group run drew from; "" for words and texts
    std::string fileName;     // the library file a text or word run came from; "" for typed text
    int dashMillis = 0;
    double dotMillis = 0;
    double delayLimit = 0;
    int gapRepeats = 0;
};

// Listens to the keyer and keeps the last run. Every character keyed belongs to a run except the
// echo of typed keys, which the window mutes. The window marks where a click starts a new run; a
// new run replaces the record only once it keys its first character, so a run that is stopped
// stays to be checked even when the stop starts an empty run of its own.
class SentRecorder : public KeyingObserver {
public:
    explicit SentRecorder(const TrainerState& state) : state_(state) {}

    // A click starts a run: the next character keyed begins a new record.
    void markNewRun() { startPending_ = true; }
    // Pause's button resumes a run: the record goes on when it holds the resumed player's run.
    void markResume();

    // While one of these lives, nothing keyed is recorded.
    class Muted {
    public:
        explicit Muted(int& depth) : depth_(depth) { ++depth_; }
        ~Muted() { --depth_; }
        Muted(const Muted&) = delete;
        Muted& operator=(const Muted&) = delete;

    private:
        int& depth_;
    };
    [[nodiscard]] Muted mute() { return Muted(muted_); }

    const SentRun& last() const { return run_; }

    void characterKeyed(const std::string& character) override;
    void gapKeyed(int units) override;

    // A text in continuous play can go on for ever: the record keeps its most recent part.
    static constexpr std::size_t kMaxCharacters = 10000;
    // The most characters kept; a sound file's run has an end, and its record keeps all of it.
    void setLimit(std::size_t characters) { limit_ = characters; }

private:
    void startRun();

    const TrainerState& state_;
    SentRun run_;
    int muted_ = 0;
    bool startPending_ = false;
    std::size_t limit_ = kMaxCharacters;
};
