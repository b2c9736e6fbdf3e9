#include "shell/text_characters.h"

namespace textchars {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// How many bytes a character that starts with `byte` has: 1 for ASCII, and for a byte that cannot
// start a longer one (a continuation byte, 0xF8 to 0xFF).
std::size_t sequenceLength(unsigned char byte) {
    if (byte < 0xC0)
        return 1;
    if (byte < 0xE0)
        return 2;
    if (byte < 0xF0)
        return 3;
    return byte < 0xF8 ? 4 : 1;
}

} // namespace

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> out;
    std::size_t expected = 0; // bytes the current character still lacks
    for (const unsigned char byte : text) {
        // A continuation byte belongs to the character its lead byte announced. A stray one (after
        // ASCII, a blank or a line break, or one too many) is a character of its own, so that it
        // never hides a separator inside a word.
        if (isContinuation(byte) && expected > 0) {
            out.back() += static_cast<char>(byte);
            --expected;
            continue;
        }
        out.emplace_back(1, static_cast<char>(byte));
        expected = sequenceLength(byte) - 1;
    }
    return out;
}

std::string upperAscii(std::string_view character) {
    std::string out(character);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace textchars
