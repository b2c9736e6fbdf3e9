#include "storage/settings_store.h"

#include "storage/atomic_file.h"
#include "storage/sqlite_file.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace sqlitefile;

namespace {

// How long a write-back waits, all told, for another program to let go of the file (and a read,
// for one that is in the middle of writing it). The window writes back while closing, and
// closing must never hang.
constexpr auto kLockPatience = std::chrono::milliseconds(1500);

constexpr std::string_view kFirstRecord = " WHERE rowid = (SELECT min(rowid) FROM laju)";

// "a, b, c" of one piece of SQL per field.
template <typename Fields, typename Piece> std::string listOf(const Fields& fields, Piece piece) {
    std::string list;
    for (const auto& field : fields)
        list += (list.empty() ? "" : ", ") + piece(field);
    return list;
}

std::string column(const SettingsField& field) {
    return field.column;
}

std::optional<SettingsRecord> readFirstRecord(sqlite3* connection, std::string& failure) {
    const Statement select = prepare(connection, "SELECT " + listOf(kSettingsFields, column) +
                                                     " FROM laju" + std::string(kFirstRecord));
    if (!select) {
        failure = errorOf(connection);
        return std::nullopt;
    }
    const int step = sqlite3_step(select.get());
    if (step != SQLITE_ROW) {
        failure = step == SQLITE_DONE ? "table laju holds no record" : errorOf(connection);
        return std::nullopt;
    }
    SettingsRecord record;
    int index = 0;
    for (const auto& field : kSettingsFields)
        record.*field.member = columnText(select.get(), index++);
    return record;
}

bool fillWithFallbacks(const std::string& path, std::string& failure) {
    const Connection connection = sqlitefile::open(path, SQLITE_OPEN_READWRITE, failure);
    if (!connection)
        return false;
    const auto typed = [](const SettingsField& field) { return column(field) + " TEXT"; };
    const auto placeholder = [](const SettingsField&) { return std::string("?"); };
    std::vector<std::string_view> fallbacks;
    for (const auto& field : kSettingsFields)
        fallbacks.emplace_back(field.fallback);
    const bool filled =
        execute(connection.get(), "BEGIN") &&
        run(connection.get(), "CREATE TABLE laju (" + listOf(kSettingsFields, typed) + ")", {}) &&
        run(connection.get(),
            "INSERT INTO laju VALUES (" + listOf(kSettingsFields, placeholder) + ")", fallbacks) &&
        execute(connection.get(), "COMMIT");
    if (!filled)
        failure = errorOf(connection.get());
    return filled;
}

// SQLite fills a temporary file beside the settings file, which is renamed into place only when
// whole: a crash leaves at worst a stray temporary file, never a half-made settings file.
bool createWithFallbacks(const std::string& path, std::string& failure) {
    failure = atomicfile::replaceWith(path, [](const std::string& temporary) {
        std::string reason;
        if (!fillWithFallbacks(temporary, reason) && reason.empty())
            reason = "cannot fill the new settings file";
        return reason;
    });
    return failure.empty();
}

// Sleeps in short steps until the deadline, so that all the lock waits of one write-back add up
// to no more than the patience given, however many locks it has to wait for.
int waitUntilDeadline(void* deadline, int /*attempts*/) {
    const auto until = *static_cast<const Clock::time_point*>(deadline);
    const auto now = Clock::now();
    if (now >= until)
        return 0;
    std::this_thread::sleep_for(
        std::min<Clock::duration>(std::chrono::milliseconds(5), until - now));
    return 1;
}

bool updateFirstRecord(sqlite3* connection, const std::vector<const SettingsField*>& changed,
                       const SettingsRecord& current, std::string& failure) {
    const auto assignment = [](const SettingsField* field) { return column(*field) + " = ?"; };
    std::vector<std::string_view> values;
    for (const auto* field : changed)
        values.emplace_back(current.*field->member);
    if (!run(connection,
             "UPDATE laju SET " + listOf(changed, assignment) + std::string(kFirstRecord),
             values)) {
        failure = errorOf(connection);
        return false;
    }
    if (sqlite3_changes(connection) != 1) {
        failure = "the first record of table laju is gone";
        return false;
    }
    return true;
}

} // namespace

bool SettingsStore::fail(std::string reason) {
    failure_ = std::move(reason);
    return false;
}

bool SettingsStore::openReader(int flags) {
    reader_ = sqlitefile::open(path_, flags, failure_);
    if (reader_)
        sqlite3_busy_timeout(reader_.get(), static_cast<int>(kLockPatience.count()));
    return reader_ != nullptr;
}

bool SettingsStore::open(const std::string& path) {
    close();
    path_ = path;
    std::error_code error;
    const bool nothingThere = fs::symlink_status(path, error).type() == fs::file_type::not_found;
    if (nothingThere && !createWithFallbacks(path, failure_))
        return false;
    if (!startsWithSqliteHeader(path))
        return fail(path + " is not an SQLite database");
    return openReader(SQLITE_OPEN_READONLY);
}

std::optional<SettingsRecord> SettingsStore::firstRecord() {
    recordRead_ = false;
    if (!reader_) {
        fail("the settings file is not open");
        return std::nullopt;
    }
    auto record = readFirstRecord(reader_.get(), failure_);
    if (!record && sqlite3_extended_errcode(reader_.get()) == SQLITE_READONLY_ROLLBACK) {
        // A write-back was cut short (a crash, a power cut) and left its journal behind. Only a
        // connection that may write can roll it back, which restores the last settings saved whole.
        if (openReader(SQLITE_OPEN_READWRITE))
            record = readFirstRecord(reader_.get(), failure_);
    }
    recordRead_ = record.has_value();
    return record;
}

bool SettingsStore::writeBack(const SettingsRecord& original, const SettingsRecord& current) {
    if (!recordRead_)
        return fail("the settings were never read, so there is no record to write them into");
    std::vector<const SettingsField*> changed;
    for (const auto& field : kSettingsFields)
        if (original.*field.member != current.*field.member)
            changed.push_back(&field);
    if (changed.empty())
        return true;
    if (!startsWithSqliteHeader(path_))
        return fail(path_ + " is no longer an SQLite database");

    Clock::time_point deadline = Clock::now() + kLockPatience;
    const Connection writer = sqlitefile::open(path_, SQLITE_OPEN_READWRITE, failure_);
    if (!writer)
        return false;
    sqlite3_busy_handler(writer.get(), waitUntilDeadline, &deadline);
    if (!execute(writer.get(), "BEGIN IMMEDIATE"))
        return fail(errorOf(writer.get()));
    const bool written = updateFirstRecord(writer.get(), changed, current, failure_) &&
                         (execute(writer.get(), "COMMIT") || fail(errorOf(writer.get())));
    if (!written && !sqlite3_get_autocommit(writer.get()))
        execute(writer.get(), "ROLLBACK");
    return written;
}

void SettingsStore::close() {
    reader_.reset();
    recordRead_ = false;
}
