// How long closing the window takes when another program holds the settings file locked:
// the write-back must give up well within two seconds. Prints one line per kind of lock.
#include "storage/settings_store.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// Milliseconds from the write-back to the closed store; nothing if the store did not give up.
std::optional<double> lockedCloseMs(const std::string& path, const char* lock) {
    SettingsStore store;
    if (!store.open(path))
        return std::nullopt;
    const auto original = store.firstRecord();
    sqlite3* other = nullptr;
    sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(other, lock, nullptr, nullptr, nullptr);

    const auto start = std::chrono::steady_clock::now();
    const bool written = store.writeBack(original.value_or(SettingsRecord{}), {"1", "2", "3", "4"});
    store.close();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    return written ? std::nullopt : std::optional(elapsed.count());
}

} // namespace

int main() {
    std::string folder =
        (std::filesystem::temp_directory_path() / "settings-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    const std::string path = folder + "/laju.mdb";
    const char* locks[][2] = {{"an exclusive lock", "BEGIN EXCLUSIVE"},
                              {"a reserved lock", "BEGIN IMMEDIATE"},
                              {"a shared lock", "BEGIN; SELECT count(*) FROM laju"}};
    int status = 0;
    for (const auto& [name, lock] : locks) {
        const auto ms = lockedCloseMs(path, lock);
        if (ms)
            std::printf("settings write-back and close, another program holding %s: %.0f ms\n",
                        name, *ms);
        else
            std::printf("settings write-back and close, another program holding %s: FAILED\n",
                        name);
        status |= ms ? 0 : 1;
    }
    std::filesystem::remove_all(folder);
    return status;
}
