#pragma once

#include <string>
#include <string_view>

// Paths of files that live beside the program: the settings file, the start picture, saved texts.
namespace progpath {

// The platform's separator: '\' on Windows, '/' elsewhere.
char nativeSeparator();

// `folder` joined with `name`. A folder that is a drive root ("C:\", three characters) already
// ends in its separator and gets none added; so does the POSIX root "/". Every other folder gets
// one separator between it and the name. (Only a true root ends in a separator: a three-character
// folder such as "/ab" is not a root and still gets its separator.)
std::string join(std::string_view folder, std::string_view name,
                 char separator = nativeSeparator());

// The folder that holds the running program, without a trailing separator (unless it is a root).
std::string programFolder();

} // namespace progpath
