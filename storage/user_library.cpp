#include "storage/user_library.h"

#include "storage/settings_location.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace progpath {
namespace {

// Where the shipped texts are installed, seen from the program's folder (set by the build from
// the install layout, so that any prefix and a staging DESTDIR work alike).
constexpr const char* kShippedLibrary = VORNIK_SHIPPED_LIBRARY;

// Made whole or not at all: the texts go into a scratch folder that then takes the library's
// name. A first start cut short leaves no half-filled library that would be kept for good; the
// next start simply tries again.
bool makeLibrary(const fs::path& library, const fs::path& shipped) {
    std::error_code error;
    const fs::path scratch = library.parent_path() / (".library-" + std::to_string(getpid()));
    fs::remove_all(scratch, error);
    bool filled = fs::create_directories(scratch, error);
    // A program without shipped texts (a build folder) starts the learner with an empty library.
    for (const auto& entry : fs::directory_iterator(shipped, error)) {
        std::error_code copyError;
        if (filled && entry.is_regular_file(copyError))
            filled = fs::copy_file(entry.path(), scratch / entry.path().filename(), copyError);
    }
    if (filled)
        fs::rename(scratch, library, error);
    fs::remove_all(scratch, error);
    return fs::is_directory(library, error);
}

} // namespace

bool enterUserLibrary(const std::string& programFolder) {
    const std::string data = userDataFolder();
    if (data.empty())
        return false;
    const fs::path library = fs::path(data) / "library";
    std::error_code error;
    if (!fs::is_directory(library, error) &&
        !makeLibrary(library, fs::path(programFolder) / kShippedLibrary))
        return false;
    fs::current_path(library, error);
    return !error;
}

} // namespace progpath
