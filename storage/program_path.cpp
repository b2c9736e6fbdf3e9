#include "storage/program_path.h"

#include <filesystem>
#include <system_error>

namespace progpath {

char nativeSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string join(std::string_view folder, std::string_view name, char separator) {
    std::string path(folder);
    const bool endsInSeparator =
        !folder.empty() && (folder.back() == separator || folder.back() == '/');
    if (!endsInSeparator)
        path += separator;
    path += name;
    return path;
}

std::string programFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error).string();
    return exe.parent_path().string();
}

} // namespace progpath
