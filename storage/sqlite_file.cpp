#include "storage/sqlite_file.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace sqlitefile {

namespace {
constexpr std::string_view kSqliteHeader{"SQLite format 3\0", 16};
} // namespace

void CloseConnection::operator()(sqlite3* connection) const {
    sqlite3_close(connection);
}

void FinalizeStatement::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

bool startsWithSqliteHeader(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    std::string header(kSqliteHeader.size(), '\0');
    file.read(header.data(), static_cast<std::streamsize>(header.size()));
    return file && header == kSqliteHeader;
}

Connection open(const std::string& path, int flags, std::string& failure) {
    sqlite3* raw = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Connection connection(raw);
    if (result != SQLITE_OK) {
        failure = connection ? errorOf(connection.get()) : sqlite3_errstr(result);
        connection.reset();
    }
    return connection;
}

std::string errorOf(sqlite3* connection) {
    return sqlite3_errmsg(connection);
}

Statement prepare(sqlite3* connection, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(connection, sql.c_str(), -1, &raw, nullptr);
    return Statement(raw);
}

bool execute(sqlite3* connection, const char* sql) {
    return sqlite3_exec(connection, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool bindText(sqlite3_stmt* statement, int index, std::string_view text) {
    return sqlite3_bind_text64(statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8) == SQLITE_OK;
}

bool run(sqlite3* connection, const std::string& sql, const std::vector<std::string_view>& texts) {
    const Statement statement = prepare(connection, sql);
    bool bound = statement != nullptr;
    int index = 1;
    for (const auto text : texts)
        bound = bound && bindText(statement.get(), index++, text);
    return bound && sqlite3_step(statement.get()) == SQLITE_DONE;
}

std::string columnText(sqlite3_stmt* statement, int index) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    if (text == nullptr)
        return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
}

} // namespace sqlitefile
