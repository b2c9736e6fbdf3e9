#include "core/text_characters.h"

#include "core/utf8.h"

namespace textchars {

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> out;
    std::size_t expected = 0; // bytes the current character still lacks
    for (const unsigned char byte : text) {
        // A continuation byte belongs to the character its lead byte announced. A stray one (after
        // ASCII, a blank or a line break, or one too many) is a character of its own, so that it
        // never hides a separator inside a word.
        if (utf8::isContinuation(byte) && expected > 0) {
            out.back() += static_cast<char>(byte);
            --expected;
            continue;
        }
        out.emplace_back(1, static_cast<char>(byte));
        expected = utf8::sequenceLength(byte) - 1;
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
