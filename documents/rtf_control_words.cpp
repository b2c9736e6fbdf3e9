#include "documents/rtf_control_words.h"

#include <unordered_map>
#include <utility>

namespace rtf {

namespace {

const std::unordered_map<std::string_view, Word>& words() {
    static const std::unordered_map<std::string_view, Word> vocabulary = [] {
        std::unordered_map<std::string_view, Word> table{
            {"fonttbl", {Action::FontTable}},
            {"colortbl", {Action::ColourTable}},
            {"ud", {Action::UnicodeDestination}},
            {"fldrslt", {Action::FieldResult}},
            {"chftn", {Action::NoteMark}},
            {"b", {Action::Bold}},
            {"i", {Action::Italic}},
            {"ulnone", {Action::UnderlineNone}},
            {"f", {Action::Font}},
            {"fs", {Action::FontSize}},
            {"cf", {Action::Colour}},
            {"plain", {Action::Plain}},
            {"deff", {Action::DefaultFont}},
            {"ansi", {Action::CodePage, 1252}},
            {"mac", {Action::CodePage, 10000}},
            {"pc", {Action::CodePage, 437}},
            {"pca", {Action::CodePage, 850}},
            {"ansicpg", {Action::CodePageParameter}},
            {"fcharset", {Action::FontCharset}},
            {"red", {Action::Red}},
            {"green", {Action::Green}},
            {"blue", {Action::Blue}},
            {"uc", {Action::UnicodeSkip}},
            {"u", {Action::Unicode}},
            {"par", {Action::ParagraphEnd}},
            {"sect", {Action::ParagraphEnd}},
            {"cell", {Action::ParagraphEnd}},
            {"nestcell", {Action::ParagraphEnd}},
            {"row", {Action::ParagraphEndIfText}},
            {"nestrow", {Action::ParagraphEndIfText}},
            {"page", {Action::ParagraphEndIfText}},
            {"line", {Action::Character, 0x2028}},
            {"tab", {Action::Character, '\t'}},
            {"emdash", {Action::Character, 0x2014}},
            {"endash", {Action::Character, 0x2013}},
            {"emspace", {Action::Character, 0x2003}},
            {"enspace", {Action::Character, 0x2002}},
            {"qmspace", {Action::Character, 0x2005}},
            {"lquote", {Action::Character, 0x2018}},
            {"rquote", {Action::Character, 0x2019}},
            {"ldblquote", {Action::Character, 0x201C}},
            {"rdblquote", {Action::Character, 0x201D}},
            {"bullet", {Action::Character, 0x2022}},
            {"zwbo", {Action::Character, 0x200B}},
            {"zwnj", {Action::Character, 0x200C}},
            {"zwj", {Action::Character, 0x200D}},
            {"ltrmark", {Action::Character, 0x200E}},
            {"rtlmark", {Action::Character, 0x200F}},
        };
        // How footnotes (\ftnn...) and endnotes (\aftnn...) are numbered.
        // clang-format off
        const std::pair<std::string_view, char32_t> numberings[] = {
            {"ftnnar", kArabic},                {"aftnnar", kEndnotes | kArabic},
            {"ftnnalc", kLowerLetters},         {"aftnnalc", kEndnotes | kLowerLetters},
            {"ftnnauc", kUpperLetters},         {"aftnnauc", kEndnotes | kUpperLetters},
            {"ftnnrlc", kLowerRoman},           {"aftnnrlc", kEndnotes | kLowerRoman},
            {"ftnnruc", kUpperRoman},           {"aftnnruc", kEndnotes | kUpperRoman},
            {"ftnnchi", kSymbols},              {"aftnnchi", kEndnotes | kSymbols},
        };
        // clang-format on
        for (const auto& [name, numbering] : numberings)
            table.emplace(name, Word{Action::NoteNumbering, numbering});
        // Every underline style reads as underlined: the box knows only one.
        for (std::string_view style :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
              "ulwave"})
            table.emplace(style, Word{Action::Underline});
        // Destinations that hold no text of the document. Some writers leave out the \* that
        // would hide the newer ones from readers that do not know them.
        for (std::string_view skipped :
             {"stylesheet",   "info",       "pict",      "object",
              "objdata",      "result",     "header",    "headerl",
              "headerr",      "headerf",    "footer",    "footerl",
              "footerr",      "footerf",    "footnote",  "fldinst",
              "annotation",   "atnid",      "atnauthor", "xe",
              "tc",           "txe",        "rxe",       "template",
              "filetbl",      "revtbl",     "listtable", "listoverridetable",
              "nonesttables", "nonshppict", "shppict",   "shp",
              "shpinst",      "datafield",  "ftnsep",    "ftnsepc",
              "ftncn",        "aftnsep",    "aftnsepc",  "aftncn",
              "upr",          "pn",         "pntxta",    "pntxtb",
              "falt",         "panose",     "fontemb",   "fontfile",
              "generator",    "do",         "bkmkstart", "bkmkend",
              "pgdsctbl",     "rsidtbl",    "themedata", "colorschememapping",
              "latentstyles", "datastore",  "xmlnstbl",  "mmathPr",
              "userprops",    "docvar"})
            table.emplace(skipped, Word{Action::SkipDestination});
        return table;
    }();
    return vocabulary;
}

} // namespace

const Word* findWord(std::string_view name) {
    const auto found = words().find(name);
    return found == words().end() ? nullptr : &found->second;
}

} // namespace rtf
