#pragma once

#include <string>
#include <string_view>
#include <vector>

// The trainer takes texts one character at a time; its texts are UTF-8.
namespace textchars {

// The characters of `text`, each as its own UTF-8 string. A character is a code point: an
// accented letter or a Cyrillic one is one character, as the learner sees it. A malformed byte
// never swallows the character after it, and the pieces always join back to `text`.
std::vector<std::string> split(std::string_view text);

// Letters a to z become A to Z; every other character stays as it is.
std::string upperAscii(std::string_view character);

} // namespace textchars
