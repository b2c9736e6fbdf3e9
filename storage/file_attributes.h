#pragma once

#include <string>

// Makes the file at `path` writable by its owner, so that a settings file copied from read-only
// media can be saved to again. Only the owner's write permission is added; every other permission
// stays as it was, and a path that is not an existing file (a missing file, a folder) is left
// alone. Silent: a file whose permissions cannot be changed simply stays as it is.
void setAttributesNormal(const std::string& path);
