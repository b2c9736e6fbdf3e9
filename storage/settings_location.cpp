#include "storage/settings_location.h"

#include "storage/program_path.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace progpath {

std::string userDataFolder() {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the XDG base directory rules say.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return join(xdg, "vornik");
    if (const char* home = std::getenv("HOME"); home && *home)
        return join(join(join(home, ".local"), "share"), "vornik");
    return {};
}

std::string settingsFolder(const std::string& programFolder) {
    std::error_code error;
    const bool holdsSettings =
        fs::exists(fs::symlink_status(join(programFolder, kSettingsFileName), error));
    if (holdsSettings || access(programFolder.c_str(), W_OK) == 0)
        return programFolder;
    const std::string data = userDataFolder();
    if (data.empty())
        return programFolder;
    fs::create_directories(data, error);
    return data;
}

} // namespace progpath
