#include "documents/rtf_writer.h"

#include "core/utf8.h"
#include "documents/code_pages.h"
#include "storage/atomic_file.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <vector>

namespace rtf {

namespace {

// The table index of `item`, which joins the table the first time it is used.
template <typename T> std::size_t indexIn(std::vector<T>& list, const T& item) {
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
        return static_cast<std::size_t>(found - list.begin());
    list.push_back(item);
    return list.size() - 1;
}

void appendHexByte(std::string& out, unsigned char byte) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    out += "\\'";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

// One UTF-16 unit as \uN (signed, as the format wants it) and its one fallback character.
void appendUnit(std::string& out, char32_t unit, unsigned char fallback) {
    out += "\\u";
    out +=
        std::to_string(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
    if (fallback >= 0x80)
        appendHexByte(out, fallback);
    else
        out += '?';
}

void appendNonAscii(std::string& out, char32_t character) {
    if (character <= 0xFFFF) {
        appendUnit(out, character, codepage::toWestern(character));
        return;
    }
    const utf16::Pair pair = utf16::split(character);
    appendUnit(out, pair.high, 0);
    appendUnit(out, pair.low, 0);
}

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const utf8::Decoded decoded = utf8::decode(text, pos);
        pos += decoded.length;
        const char32_t c = decoded.codePoint;
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == 0x2028) {
            out += "\\line ";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c >= 0x80) {
            appendNonAscii(out, c);
        }
        // Other control characters have nothing to show or to play and are left out.
    }
}

struct Tables {
    std::vector<std::string> fonts;
    std::vector<rich::Colour> colours{rich::Colour{}}; // entry 0: the automatic colour
};

void appendRun(std::string& out, const rich::Run& run, Tables& tables) {
    const rich::CharFormat& format = run.format;
    out += "{\\f";
    out += std::to_string(indexIn(tables.fonts, format.fontFamily));
    if (format.pointSize > 0) {
        out += "\\fs";
        out += std::to_string(std::lround(format.pointSize * 2));
    }
    if (format.bold)
        out += "\\b";
    if (format.italic)
        out += "\\i";
    if (format.underline)
        out += "\\ul";
    if (!format.colour.automatic) {
        out += "\\cf";
        out += std::to_string(indexIn(tables.colours, format.colour));
    }
    out += ' ';
    appendEscaped(out, run.text);
    out += '}';
}

void appendFontTable(std::string& out, const std::vector<std::string>& fonts) {
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        std::string name = fonts[i];
        std::erase(name, ';'); // a semicolon would end the entry early
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        appendEscaped(out, name);
        out += ";}";
    }
    out += "}\n";
}

void appendColourTable(std::string& out, const std::vector<rich::Colour>& colours) {
    out += "{\\colortbl;";
    for (std::size_t i = 1; i < colours.size(); ++i) {
        out += "\\red" + std::to_string(colours[i].red) + "\\green" +
               std::to_string(colours[i].green) + "\\blue" + std::to_string(colours[i].blue) + ';';
    }
    out += "}\n";
}

} // namespace

std::string write(const rich::RichDocument& document) {
    Tables tables;
    std::string body = "\\pard\\plain\n";
    for (const rich::Paragraph& paragraph : document.paragraphs) {
        for (const rich::Run& run : paragraph.runs)
            appendRun(body, run, tables);
        body += "\\par\n";
    }
    if (tables.fonts.empty())
        tables.fonts.emplace_back();
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n";
    appendFontTable(out, tables.fonts);
    appendColourTable(out, tables.colours);
    out += body;
    out += "}\n";
    return out;
}

SaveResult save(const rich::RichDocument& document, const std::string& path) {
    try {
        std::string error = atomicfile::replace(path, write(document));
        return {error.empty(), error};
    } catch (const std::exception& error) { // out of memory for a huge document, a bad path
        return {false, error.what()};
    }
}

} // namespace rtf
