#pragma once

#include <functional>
#include <string>
#include <string_view>

// Replacing a file in one step, so that a failure at any point (disk full, no such folder, the
// name is a folder, a crash) leaves the old file exactly as it was.
namespace atomicfile {

// Makes a new empty hidden file beside `path` (".name.<pid>.<n>.tmp": rename() replaces a file in
// one step only within one file system, and the leading dot keeps a half-written file out of the
// library's list), lets `fill` write it by its path, and renames it over `path` when `fill`
// returns no error. On any failure the new file is removed. Returns why it failed, or "".
std::string replaceWith(const std::string& path,
                        const std::function<std::string(const std::string& temporary)>& fill);

// The same, filling the new file with `bytes`, flushed to the disk before the rename.
std::string replace(const std::string& path, std::string_view bytes);

// "what subject: <the system's reason for errno>"; reads errno before it can change.
std::string systemFailure(std::string_view what, std::string_view subject = {});

} // namespace atomicfile
