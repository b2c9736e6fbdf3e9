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

inline constexpr bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// How many bytes a character that starts with `lead` has: 1 for ASCII, and for a byte that
// cannot start a longer one (a continuation byte, 0xF8 to 0xFF).
inline constexpr std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF8 ? 4 : 1;
}

} // namespace utf8

// UTF-16 surrogate pairs, as RTF's \uN and UTF-16 files carry characters past U+FFFF.
namespace utf16 {

inline constexpr bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline constexpr bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

inline constexpr char32_t combine(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

struct Pair {
    char32_t high;
    char32_t low;
};
// The two units of a character past U+FFFF.
inline constexpr Pair split(char32_t character) {
    const char32_t offset = character - 0x10000;
    return {0xD800 + (offset >> 10), 0xDC00 + (offset & 0x3FF)};
}

} // namespace utf16
