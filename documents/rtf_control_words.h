#pragma once

#include <cstdint>
#include <string_view>

// The RTF control words the reader acts on, and what each one does.
namespace rtf {

enum class Action : std::uint8_t {
    SkipDestination, // the group holds no text of the document
    FontTable,
    ColourTable,
    UnicodeDestination, // \ud: the Unicode half of \upr, text even though starred
    FieldResult,        // \fldrslt: text as its field's group is, even though starred
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Font,
    FontSize,
    Colour,
    Plain,
    DefaultFont,
    CodePage,          // \ansi, \mac, \pc, \pca: the code page in Word::value
    CodePageParameter, // \ansicpgN
    FontCharset,
    Red,
    Green,
    Blue,
    UnicodeSkip,
    Unicode,
    ParagraphEnd,
    ParagraphEndIfText, // ends the paragraph only if it has text: rows end after their cells
    Character,          // the character in Word::value
    NoteMark,           // \chftn: the number of the footnote or endnote that follows
    NoteNumbering,      // how notes are numbered: Word::value is a NoteNumbering
};

// \ftnnN and \aftnnN: the numbering of footnotes (the low byte) or endnotes (kEndnotes set).
enum NoteNumbering : char32_t {
    kArabic,
    kLowerLetters,
    kUpperLetters,
    kLowerRoman,
    kUpperRoman,
    kSymbols, // *, †, ‡, §, then doubled
    kEndnotes = 0x100,
};

struct Word {
    Action action;
    char32_t value = 0; // the character of Character, the code page of CodePage
};

// The meaning of control word `name` (without its backslash and parameter), or nullptr for a word
// the reader ignores.
const Word* findWord(std::string_view name);

} // namespace rtf
