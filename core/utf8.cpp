#include "core/utf8.h"

namespace utf8 {

namespace {

bool isSurrogate(char32_t c) {
    return utf16::isHighSurrogate(c) || utf16::isLowSurrogate(c);
}

} // namespace

void append(std::string& out, char32_t codePoint) {
    if (isSurrogate(codePoint) || codePoint > 0x10FFFF)
        codePoint = kReplacement;
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

Decoded decode(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {};
    }
    if (text.size() - pos < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte))
            return {};
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || isSurrogate(value) || value > 0x10FFFF)
        return {};
    return {value, length, true};
}

bool isValid(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded decoded = decode(text, pos);
        if (!decoded.valid)
            return false;
        pos += decoded.length;
    }
    return true;
}

} // namespace utf8
