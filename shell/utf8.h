#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The core keeps all text as UTF-8; these are the few conversions its readers and writers share.
namespace utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// Appends `codePoint` as UTF-8. Surrogate halves and values past U+10FFFF cannot be encoded and
// become U+FFFD, so a caller never produces invalid UTF-8 from bad input.
void append(std::string& out, char32_t codePoint);

struct Decoded {
    char32_t codePoint = kReplacement;
    std::size_t length = 1; // bytes consumed, at least 1 so a loop over bad input always advances
    bool valid = false;
};

// The code point that starts at `text[pos]` (pos < text.size()). Overlong forms, surrogates,
// values past U+10FFFF and cut-off sequences are invalid and consume a single byte.
Decoded decode(std::string_view text, std::size_t pos);

bool isValid(std::string_view text);

} // namespace utf8
