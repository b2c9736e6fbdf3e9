#pragma once

#include "storage/sqlite_file.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

// The four settings exactly as the window's text boxes hold them. Any text is kept as it is:
// "2.8", "-250", "abc" or a 500-digit number come back from the file character for character.
// (That holds for the TEXT columns of every file this program makes; a column some other tool
// declared numeric lets SQLite store number-like text as a number, so "2.80" would read "2.8".)
struct SettingsRecord {
    std::string laj;    // delay limit: busy-wait iterations of one delay unit
    std::string panjan; // dash length in ms
    std::string nad;    // pitch in Hz
    std::string dot;    // dash-to-dot ratio

    bool operator==(const SettingsRecord&) const = default;
};

// Where each setting lives in the file, and what a newly made file holds.
struct SettingsField {
    std::string SettingsRecord::*member;
    const char* column;
    const char* fallback;
};

// The fallbacks make a first start play real Morse: a delay limit of 3000 is a delay unit of
// about 30 ms at 10 us per busy-wait iteration.
inline constexpr std::array<SettingsField, 4> kSettingsFields{{
    {&SettingsRecord::laj, "LAJ", "3000"},
    {&SettingsRecord::panjan, "PANJAN", "250"},
    {&SettingsRecord::nad, "NAD", "700"},
    {&SettingsRecord::dot, "DOT", "2.8"},
}};

// The settings file: table "laju" of an SQLite database, of which only the first record (lowest
// rowid) is ever read or written; records are never added or deleted.
//
// A file that is anything but such a database is never modified: not a byte is written to it,
// not even a journal beside it. Every failure is silent; the reason is kept for the caller.
class SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens the file at `path` for reading. When nothing at all exists there, first makes it with
    // one record of the fallbacks; it appears whole or not at all. False when it could not be
    // made or is not an SQLite database.
    bool open(const std::string& path);

    // The first record of table "laju". Nothing when the store is not open, or the table, one of
    // its columns or any record is missing. Values of any stored type come back as their text
    // (an integer 3000 as "3000", a real 2.8 as "2.8", a null as "").
    std::optional<SettingsRecord> firstRecord();

    // Writes into the first record the fields in which `current` differs from `original`, all
    // of them or none, and nothing else: a field the learner left alone keeps whatever the file
    // holds now. Only after a successful firstRecord(). Gives up within about 1.5 s when another
    // program holds the file locked, and fails on a read-only file or folder or a full disk,
    // leaving the file as it was. True when nothing needed writing.
    bool writeBack(const SettingsRecord& original, const SettingsRecord& current);

    void close();

    // Why the last failing call failed, for logs and tests; never shown to the learner.
    const std::string& failure() const { return failure_; }

private:
    bool fail(std::string reason);
    bool openReader(int flags);

    std::string path_;
    sqlitefile::Connection reader_;
    bool recordRead_ = false;
    std::string failure_;
};
