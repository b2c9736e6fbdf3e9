#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How one character fared: how often it was sent and how often it was missed or read wrong.
struct CharacterTally {
    std::string symbol;
    int sent = 0;
    int errors = 0;

    bool operator==(const CharacterTally&) const = default;
};

// One check of a copy, as the progress file keeps it.
struct ProgressEntry {
    std::int64_t id = 0;   // given by the store
    std::int64_t time = 0; // seconds since 1970-01-01 UTC
    std::string kind;      // which run was checked: groups, words or text
    std::string source;    // the character set of a group run, or the file a text came from
    int dashMillis = 0;
    double ratio = 0;
    double delayLimit = 0;
    int gapRepeats = 0;
    double characterWpm = 0;
    double effectiveWpm = 0;
    int sent = 0;    // characters sent
    int correct = 0; // of them copied right
    double accuracy = 0;
    std::vector<CharacterTally> characters; // per character sent or copied wrong in this check

    bool operator==(const ProgressEntry&) const = default;
};

// The whole history: every check in time order (without its characters), and the characters
// summed over all checks, in symbol order.
struct ProgressHistory {
    std::vector<ProgressEntry> checks;
    std::vector<CharacterTally> characters;
};

// The progress file: an SQLite database of its own beside the settings file (never a table in
// the settings file, which other tools may read). It is made, whole or not at all, when the first
// check is saved. As with the settings file, a file that is not such a database (anything else,
// or an SQLite database without the progress tables) is never written to; every failure leaves
// the file as it was and says why in failure().
class ProgressStore {
public:
    explicit ProgressStore(std::string path) : path_(std::move(path)) {}

    // The history; empty when there is no file yet. Nothing when the file cannot be read.
    std::optional<ProgressHistory> load();
    // Saves one check in one transaction, in place of the check with id `replacing` when that is
    // not 0 (a run checked again counts once). Returns the new check's id.
    std::optional<std::int64_t> save(const ProgressEntry& entry, std::int64_t replacing = 0);

    const std::string& path() const { return path_; }
    const std::string& failure() const { return failure_; }

private:
    bool fail(std::string reason);

    std::string path_;
    std::string failure_;
};
