#include "shell/text_characters.h"

namespace textchars {

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> out;
    for (unsigned char byte : text) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((byte & 0xC0) == 0x80 && !out.empty())
            out.back() += static_cast<char>(byte);
        else
            out.emplace_back(1, static_cast<char>(byte));
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
