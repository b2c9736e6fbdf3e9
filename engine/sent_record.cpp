#include "engine/sent_record.h"

#include "engine/morse_table.h"

#include <algorithm>

namespace {
// The gap the drills and the player play at the end of a group or word, in delay units per gap
// repeat; the sender's own character gap is 4 and the word drill's inner gap 2.
constexpr int kGroupEndUnits = 8;

bool hasCode(const std::string& character) {
    const auto table = morse::table();
    return std::any_of(table.begin(), table.end(),
                       [&](const morse::Entry& entry) { return entry.character == character; });
}
} // namespace

void SentRecorder::markResume() {
    if (run_.kind != state_.playMode)
        startPending_ = true;
}

void SentRecorder::startRun() {
    const std::uint64_t serial = run_.serial + 1;
    run_ = SentRun{};
    run_.serial = serial;
    run_.kind = state_.playMode;
    if (run_.kind == PlayMode::Groups) {
        for (int i = 0; i < state_.charSetWidth; ++i) {
            const auto index = static_cast<std::size_t>(state_.charSetStart + i);
            if (index < state_.symbols.size())
                run_.characterSet += state_.symbols[index];
        }
    } else {
        run_.fileName = state_.currentFileName;
    }
    run_.dashMillis = state_.dashMillis;
    run_.dotMillis = state_.dotMillis;
    run_.delayLimit = state_.delayLimit;
    run_.gapRepeats = state_.gapRepeats;
    startPending_ = false;
}

void SentRecorder::characterKeyed(const std::string& character) {
    if (muted_ > 0 || !hasCode(character))
        return;
    if (startPending_)
        startRun();
    run_.text += character;
    if (run_.text.size() > limit_) {
        // Drops the oldest groups or words whole, so that the record starts at a boundary.
        const std::size_t blank = run_.text.find(' ', run_.text.size() - limit_);
        run_.text.erase(0, blank == std::string::npos ? run_.text.size() - limit_ : blank + 1);
    }
}

void SentRecorder::gapKeyed(int units) {
    if (muted_ > 0 || startPending_ || units != kGroupEndUnits)
        return;
    if (!run_.text.empty() && run_.text.back() != ' ')
        run_.text += ' ';
}
