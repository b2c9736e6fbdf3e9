#include "storage/file_attributes.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

void setAttributesNormal(const std::string& path) {
    std::error_code error;
    if (fs::is_regular_file(path, error))
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
}
