#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The content of the window's rich text box without the box: what RTF files are read into and
// written from, so reading and writing them needs no toolkit.
namespace rich {

// A line break inside a paragraph (\line in RTF, Shift+Enter in the box) is kept in the run text
// as U+2028, the character the box itself uses for it; a tab is kept as '\t'.
inline constexpr std::string_view kLineBreak = "\u2028";

struct Colour {
    bool automatic = true; // the box's own text colour
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::string fontFamily; // empty: the box's own font
    double pointSize = 0;   // 0: the box's own size
    Colour colour;

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

struct Run {
    std::string text; // UTF-8
    CharFormat format;

    friend bool operator==(const Run&, const Run&) = default;
};

struct Paragraph {
    std::vector<Run> runs;

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

struct RichDocument {
    std::vector<Paragraph> paragraphs;

    // Adds text at the end of the last paragraph (the first one if there is none yet). Text in the
    // same format as the last run joins it, so a document never holds two neighbouring runs of
    // one format and documents compare equal whenever their text and formatting do.
    void append(std::string_view text, const CharFormat& format);
    void startParagraph() { paragraphs.emplace_back(); }

    // The text as the trainer plays it, as the text box reads it: paragraphs and line breaks both
    // end in `lineEnd`, no-break spaces are plain blanks (they separate words as much as any blank
    // does), and no line end follows the last paragraph.
    std::string plainText(std::string_view lineEnd = "\r\n") const;

    friend bool operator==(const RichDocument&, const RichDocument&) = default;
};

} // namespace rich
