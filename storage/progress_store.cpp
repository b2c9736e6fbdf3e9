#include "storage/progress_store.h"

#include "storage/atomic_file.h"
#include "storage/sqlite_file.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

using namespace sqlitefile;

namespace {

constexpr int kLockPatienceMillis = 1500;

// The characters of a check live in a table of their own, and their sums over the whole history
// in another, kept up to date by every save: a long history opens without adding it all up.
constexpr const char* kSchema =
    "CREATE TABLE checks (id INTEGER PRIMARY KEY, time INTEGER, kind TEXT, source TEXT,"
    " dash_ms INTEGER, ratio REAL, delay_limit REAL, gap_repeats INTEGER, character_wpm REAL,"
    " effective_wpm REAL, sent INTEGER, correct INTEGER, accuracy REAL);"
    "CREATE TABLE check_characters (check_id INTEGER REFERENCES checks(id), symbol TEXT,"
    " sent INTEGER, errors INTEGER);"
    "CREATE INDEX check_characters_by_check ON check_characters (check_id);"
    "CREATE INDEX checks_by_time ON checks (time, id);"
    "CREATE TABLE character_totals (symbol TEXT PRIMARY KEY, sent INTEGER, errors INTEGER);";

constexpr const char* kCheckColumns = "id, time, kind, source, dash_ms, ratio, delay_limit,"
                                      " gap_repeats, character_wpm, effective_wpm, sent, correct,"
                                      " accuracy";

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

bool createEmpty(const std::string& path, std::string& failure) {
    failure = atomicfile::replaceWith(path, [](const std::string& temporary) {
        std::string reason;
        const Connection made = sqlitefile::open(temporary, SQLITE_OPEN_READWRITE, reason);
        if (!made)
            return reason.empty() ? std::string("cannot make the progress file") : reason;
        return execute(made.get(), kSchema) ? std::string() : errorOf(made.get());
    });
    return failure.empty();
}

// Opens an existing progress file; refuses anything that is not one.
Connection openProgress(const std::string& path, int flags, std::string& failure) {
    if (!startsWithSqliteHeader(path)) {
        failure = path + " is not an SQLite database";
        return nullptr;
    }
    Connection connection = sqlitefile::open(path, flags, failure);
    if (!connection)
        return connection;
    sqlite3_busy_timeout(connection.get(), kLockPatienceMillis);
    if (!prepare(connection.get(), std::string("SELECT ") + kCheckColumns + " FROM checks") ||
        !prepare(connection.get(), "SELECT check_id, symbol, sent, errors FROM check_characters") ||
        !prepare(connection.get(), "SELECT symbol, sent, errors FROM character_totals")) {
        failure = path + " is an SQLite database without the progress tables";
        return nullptr;
    }
    return connection;
}

ProgressEntry entryOf(sqlite3_stmt* row) {
    ProgressEntry entry;
    entry.id = sqlite3_column_int64(row, 0);
    entry.time = sqlite3_column_int64(row, 1);
    entry.kind = columnText(row, 2);
    entry.source = columnText(row, 3);
    entry.dashMillis = sqlite3_column_int(row, 4);
    entry.ratio = sqlite3_column_double(row, 5);
    entry.delayLimit = sqlite3_column_double(row, 6);
    entry.gapRepeats = sqlite3_column_int(row, 7);
    entry.characterWpm = sqlite3_column_double(row, 8);
    entry.effectiveWpm = sqlite3_column_double(row, 9);
    entry.sent = sqlite3_column_int(row, 10);
    entry.correct = sqlite3_column_int(row, 11);
    entry.accuracy = sqlite3_column_double(row, 12);
    return entry;
}

bool insertCheck(sqlite3* connection, const ProgressEntry& entry) {
    const Statement insert =
        prepare(connection, std::string("INSERT INTO checks (") + kCheckColumns +
                                ") VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite3_stmt* s = insert.get();
    return s && sqlite3_bind_int64(s, 1, entry.time) == SQLITE_OK && bindText(s, 2, entry.kind) &&
           bindText(s, 3, entry.source) && sqlite3_bind_int(s, 4, entry.dashMillis) == SQLITE_OK &&
           sqlite3_bind_double(s, 5, entry.ratio) == SQLITE_OK &&
           sqlite3_bind_double(s, 6, entry.delayLimit) == SQLITE_OK &&
           sqlite3_bind_int(s, 7, entry.gapRepeats) == SQLITE_OK &&
           sqlite3_bind_double(s, 8, entry.characterWpm) == SQLITE_OK &&
           sqlite3_bind_double(s, 9, entry.effectiveWpm) == SQLITE_OK &&
           sqlite3_bind_int(s, 10, entry.sent) == SQLITE_OK &&
           sqlite3_bind_int(s, 11, entry.correct) == SQLITE_OK &&
           sqlite3_bind_double(s, 12, entry.accuracy) == SQLITE_OK &&
           sqlite3_step(s) == SQLITE_DONE;
}

// Runs `statement` once for each character of the check, with ?1 the check's id, ?2 the symbol,
// ?3 its count sent and ?4 its errors.
bool forEachCharacter(sqlite3* connection, const char* sql, std::int64_t id,
                      const ProgressEntry& entry) {
    const Statement statement = prepare(connection, sql);
    sqlite3_stmt* s = statement.get();
    for (const CharacterTally& tally : entry.characters) {
        const bool done = s && sqlite3_bind_int64(s, 1, id) == SQLITE_OK &&
                          bindText(s, 2, tally.symbol) &&
                          sqlite3_bind_int(s, 3, tally.sent) == SQLITE_OK &&
                          sqlite3_bind_int(s, 4, tally.errors) == SQLITE_OK &&
                          sqlite3_step(s) == SQLITE_DONE && sqlite3_reset(s) == SQLITE_OK;
        if (!done)
            return false;
    }
    return true;
}

bool insertCharacters(sqlite3* connection, std::int64_t id, const ProgressEntry& entry) {
    return forEachCharacter(connection, "INSERT INTO check_characters VALUES (?1, ?2, ?3, ?4)", id,
                            entry) &&
           forEachCharacter(connection,
                            "INSERT INTO character_totals VALUES (?2, ?3, ?4) ON CONFLICT (symbol)"
                            " DO UPDATE SET sent = sent + ?3, errors = errors + ?4",
                            id, entry);
}

bool removeCheck(sqlite3* connection, std::int64_t id) {
    const std::string key = std::to_string(id);
    return run(connection,
               "UPDATE character_totals SET"
               " sent = sent - (SELECT sum(sent) FROM check_characters c"
               "  WHERE c.check_id = ?1 AND c.symbol = character_totals.symbol),"
               " errors = errors - (SELECT sum(errors) FROM check_characters c"
               "  WHERE c.check_id = ?1 AND c.symbol = character_totals.symbol)"
               " WHERE symbol IN (SELECT symbol FROM check_characters WHERE check_id = ?1)",
               {key}) &&
           run(connection, "DELETE FROM check_characters WHERE check_id = ?", {key}) &&
           run(connection, "DELETE FROM checks WHERE id = ?", {key});
}

} // namespace

bool ProgressStore::fail(std::string reason) {
    failure_ = std::move(reason);
    return false;
}

std::optional<ProgressHistory> ProgressStore::load() {
    ProgressHistory history;
    if (!exists(path_))
        return history;
    const Connection connection = openProgress(path_, SQLITE_OPEN_READONLY, failure_);
    if (!connection)
        return std::nullopt;
    const Statement checks = prepare(connection.get(), std::string("SELECT ") + kCheckColumns +
                                                           " FROM checks ORDER BY time, id");
    while (sqlite3_step(checks.get()) == SQLITE_ROW)
        history.checks.push_back(entryOf(checks.get()));
    const Statement totals =
        prepare(connection.get(), "SELECT symbol, sum(sent), sum(errors) FROM check_characters"
                                  " GROUP BY symbol ORDER BY symbol");
    while (sqlite3_step(totals.get()) == SQLITE_ROW)
        history.characters.push_back({columnText(totals.get(), 0),
                                      sqlite3_column_int(totals.get(), 1),
                                      sqlite3_column_int(totals.get(), 2)});
    if (sqlite3_errcode(connection.get()) != SQLITE_DONE &&
        sqlite3_errcode(connection.get()) != SQLITE_OK) {
        fail(errorOf(connection.get()));
        return std::nullopt;
    }
    return history;
}

std::optional<std::int64_t> ProgressStore::save(const ProgressEntry& entry,
                                                std::int64_t replacing) {
    if (!exists(path_) && !createEmpty(path_, failure_))
        return std::nullopt;
    const Connection connection = openProgress(path_, SQLITE_OPEN_READWRITE, failure_);
    if (!connection)
        return std::nullopt;
    sqlite3* c = connection.get();
    if (!execute(c, "BEGIN IMMEDIATE")) {
        fail(errorOf(c));
        return std::nullopt;
    }
    bool saved = (replacing == 0 || removeCheck(c, replacing)) && insertCheck(c, entry);
    const std::int64_t id = sqlite3_last_insert_rowid(c);
    saved = saved && insertCharacters(c, id, entry);
    if (!saved || !execute(c, "COMMIT")) {
        fail(errorOf(c));
        execute(c, "ROLLBACK");
        return std::nullopt;
    }
    return id;
}
