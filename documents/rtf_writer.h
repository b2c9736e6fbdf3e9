#pragma once

#include "documents/rich_document.h"

#include <string>

namespace rtf {

// The document as RTF 1.x in code page 1252 with a font and a colour table. Every character
// outside ASCII goes as \uN (UTF-16, so characters past U+FFFF take two) followed by its 1252
// byte where 1252 has one and "?" where it has none, for readers without Unicode.
std::string write(const rich::RichDocument& document);

struct SaveResult {
    bool ok = false;
    std::string error; // why the save failed, for a log; empty after success
};

// Writes the document to `path`, replacing a file of that name. The bytes go to a new file in
// the same folder, flushed to the disk, which then takes the place of the old one in one step:
// a save that fails at any point (disk full, no such folder, the name is a folder) leaves the old
// file exactly as it was. Never throws.
SaveResult save(const rich::RichDocument& document, const std::string& path);

} // namespace rtf
