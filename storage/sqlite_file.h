#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// What the trainer's SQLite files share: the settings file and the progress file are handed to
// SQLite only when they already are SQLite databases, so a foreign file is never written to.
namespace sqlitefile {

struct CloseConnection {
    void operator()(sqlite3* connection) const;
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const;
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// SQLite reads a zero-length or foreign file as an empty database and would gladly create
// tables in it, so only a regular file that already carries the SQLite header qualifies.
bool startsWithSqliteHeader(const std::string& path);

// Opens with the given sqlite3_open_v2 flags; on failure nothing, with the reason in `failure`.
Connection open(const std::string& path, int flags, std::string& failure);

std::string errorOf(sqlite3* connection);
Statement prepare(sqlite3* connection, const std::string& sql);
bool execute(sqlite3* connection, const char* sql);
bool bindText(sqlite3_stmt* statement, int index, std::string_view text);
// Runs one statement with `texts` bound to its parameters in order.
bool run(sqlite3* connection, const std::string& sql, const std::vector<std::string_view>& texts);
// A column of the current row as text; a null is "".
std::string columnText(sqlite3_stmt* statement, int index);

} // namespace sqlitefile
