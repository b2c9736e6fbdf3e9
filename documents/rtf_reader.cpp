#include "documents/rtf_reader.h"

#include "core/utf8.h"
#include "documents/code_pages.h"
#include "documents/rtf_control_words.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace rtf {

namespace {

// Groups nested deeper than this share the state of the deepest one instead of each getting its
// own, so a file of nothing but opening braces costs a bounded amount of memory. Real documents
// stay far below it (tables nested in tables reach a few dozen).
constexpr std::size_t kMaxDepth = 100'000;

// \fsN sizes beyond Word's largest font size (1638 points) are damage, not formatting.
constexpr int kMaxHalfPoints = 3276;

// Code pages whose decoders are kept at once; a damaged document naming thousands of pages only
// makes the reader open them again.
constexpr std::size_t kMaxDecoders = 16;

// How far after a note mark (\chftn) the group of its note is looked for.
constexpr std::size_t kNoteLookahead = 512;

enum class Destination : std::uint8_t { Text, FontTable, ColourTable, Skipped };

// Character formatting as the document states it: numbers into its font and colour tables.
struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int font = -1;      // -1: the document's default font (\deffN)
    int halfPoints = 0; // 0: no size given
    int colour = 0;     // 0: the automatic colour

    friend bool operator==(const Style&, const Style&) = default;
};

struct Group {
    Style style;
    Destination destination = Destination::Text;
    bool starred = false; // after \*: a destination word this reader does not know skips the group
    int unicodeSkip = 1;  // \ucN: how many fallback characters follow each \uN
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that are text as they stand: neither RTF syntax nor control characters nor 8-bit bytes
// that need their code page.
bool isPlainAscii(char c) {
    return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}';
}

std::uint8_t colourComponent(std::optional<int> value) {
    return static_cast<std::uint8_t>(std::clamp(value.value_or(0), 0, 255));
}

bool isSymbolFontName(std::string_view family) {
    constexpr std::string_view kSymbol = "symbol";
    return std::equal(family.begin(), family.end(), kSymbol.begin(), kSymbol.end(),
                      [](char a, char b) { return (a | 0x20) == b; });
}

std::u32string roman(int number, bool upper) {
    constexpr std::pair<int, std::u32string_view> kValues[] = {
        {1000, U"m"}, {900, U"cm"}, {500, U"d"}, {400, U"cd"}, {100, U"c"}, {90, U"xc"}, {50, U"l"},
        {40, U"xl"},  {10, U"x"},   {9, U"ix"},  {5, U"v"},    {4, U"iv"},  {1, U"i"}};
    std::u32string out;
    for (const auto& [value, digits] : kValues) {
        for (; number >= value; number -= value)
            out += digits;
    }
    if (upper)
        std::transform(out.begin(), out.end(), out.begin(), [](char32_t c) { return c - 0x20; });
    return out;
}

// A note's number as the writer shows it. Letters and marks repeat past the end of their series
// (y, z, aa, bb; *, †, ‡, §, **), as word processors count; numbers too large for a short mark
// are written in digits.
std::u32string noteNumber(int number, char32_t numbering) {
    constexpr std::u32string_view kMarks = U"*†‡§";
    const auto series = numbering == kSymbols ? kMarks.size() : 26;
    const auto repeats = static_cast<std::size_t>(number - 1) / series + 1;
    const auto place = static_cast<std::size_t>(number - 1) % series;
    switch (numbering) {
    case kLowerLetters:
    case kUpperLetters:
        if (repeats <= 3)
            return std::u32string(
                repeats, static_cast<char32_t>((numbering == kLowerLetters ? U'a' : U'A') + place));
        break;
    case kSymbols:
        if (repeats <= 3)
            return std::u32string(repeats, kMarks[place]);
        break;
    case kLowerRoman:
    case kUpperRoman:
        if (number < 4000)
            return roman(number, numbering == kUpperRoman);
        break;
    default:
        break;
    }
    const std::string digits = std::to_string(number);
    return std::u32string(digits.begin(), digits.end());
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : in_(bytes) {
        Group outside;
        outside.destination = Destination::Skipped;
        groups_.push_back(outside);
        document_.startParagraph();
    }

    rich::RichDocument read() {
        while (pos_ < in_.size() && !ended_) {
            switch (in_[pos_]) {
            case '{':
                ++pos_;
                skipRemaining_ = 0;
                finishCharacter();
                openGroup();
                break;
            case '}':
                ++pos_;
                skipRemaining_ = 0;
                finishCharacter();
                closeGroup();
                break;
            case '\\':
                ++pos_;
                readControl();
                break;
            case '\r':
            case '\n':
                ++pos_;
                break;
            default:
                readText();
            }
        }
        finishCharacter();
        endText();
        if (document_.paragraphs.back().runs.empty())
            document_.paragraphs.pop_back();
        return std::move(document_);
    }

private:
    struct Font {
        std::string family;
        int codePage = 0; // 0: the document's
        bool symbol = false;
    };

    Group& group() { return groups_.back(); }

    void openGroup() {
        if (groups_.size() >= kMaxDepth) {
            ++extraDepth_;
            return;
        }
        Group child = group();
        child.starred = false;
        if (groups_.size() == 1)
            child.destination = Destination::Text;
        groups_.push_back(child);
    }

    void closeGroup() {
        if (extraDepth_ > 0) {
            --extraDepth_;
            return;
        }
        if (groups_.size() == 1)
            return;
        if (group().destination == Destination::FontTable && !fontName_.empty())
            commitFont();
        groups_.pop_back();
        ended_ = groups_.size() == 1;
    }

    void readText() {
        if (skipRemaining_ > 0) {
            ++pos_;
            --skipRemaining_;
            return;
        }
        if (group().destination == Destination::Text && highSurrogate_ == 0 && openPage_ == 0 &&
            !inSymbolFont()) {
            const std::size_t start = pos_;
            while (pos_ < in_.size() && isPlainAscii(in_[pos_]))
                ++pos_;
            if (pos_ > start) {
                matchPendingStyle();
                pending_.append(in_.substr(start, pos_ - start));
                return;
            }
        }
        emitByte(static_cast<unsigned char>(in_[pos_++]));
    }

    void readControl() {
        if (pos_ >= in_.size())
            return;
        const char symbol = in_[pos_];
        // Only a byte escape can carry on a character whose first bytes have come.
        if (symbol != '\'')
            finishCharacter();
        if (isLetter(symbol)) {
            readControlWord();
            return;
        }
        ++pos_;
        if (symbol == '\'') {
            readHexEscape();
        } else if (skipRemaining_ > 0) {
            --skipRemaining_;
        } else {
            controlSymbol(symbol);
        }
    }

    void readHexEscape() {
        int value = 0;
        for (int digit = 0; digit < 2; ++digit) {
            const int nibble = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
            if (nibble < 0)
                return;
            value = value * 16 + nibble;
            ++pos_;
        }
        if (skipRemaining_ > 0)
            --skipRemaining_;
        else
            emitByte(static_cast<unsigned char>(value));
    }

    void controlSymbol(char symbol) {
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            emit(static_cast<char32_t>(symbol));
            break;
        case '~':
            emit(0x00A0);
            break;
        case '_':
            emit(0x2011);
            break;
        case '*':
            group().starred = true;
            break;
        case '\r':
        case '\n':
            endParagraph();
            break;
        default:
            // The soft hyphen \- only marks where a line may break, and symbols without a
            // meaning (index and formula marks, a stray "\ ") show nothing.
            break;
        }
    }

    void readControlWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const std::string_view name = in_.substr(start, pos_ - start);
        const std::optional<int> parameter = readParameter();
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        if (name == "bin") {
            // The data is binary whatever its bytes are, also when it stands in for a \uN.
            const auto count = static_cast<std::size_t>(std::max(parameter.value_or(0), 0));
            pos_ += std::min(count, in_.size() - pos_);
        }
        if (skipRemaining_ > 0) {
            --skipRemaining_;
            return;
        }
        controlWord(name, parameter);
    }

    std::optional<int> readParameter() {
        const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1]);
        if (negative)
            ++pos_;
        if (pos_ >= in_.size() || !isDigit(in_[pos_]))
            return std::nullopt;
        // Parameters take at most 32 bits; longer digit strings are damage and saturate.
        constexpr long long kLimit = 1'000'000'000;
        long long value = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            value = std::min(value * 10 + (in_[pos_] - '0'), kLimit);
            ++pos_;
        }
        return static_cast<int>(negative ? -value : value);
    }

    void controlWord(std::string_view name, std::optional<int> parameter) {
        Group& current = group();
        const Word* word = findWord(name);
        if (current.starred) {
            current.starred = false;
            if (word == nullptr || (word->action != Action::UnicodeDestination &&
                                    word->action != Action::FieldResult)) {
                current.destination = Destination::Skipped;
                return;
            }
        }
        if (word != nullptr)
            apply(*word, parameter);
    }

    void apply(const Word& word, std::optional<int> parameter) {
        Group& current = group();
        const bool on = parameter.value_or(1) != 0;
        switch (word.action) {
        case Action::SkipDestination:
            current.destination = Destination::Skipped;
            break;
        case Action::FontTable:
            current.destination = Destination::FontTable;
            startFontEntry(0);
            break;
        case Action::ColourTable:
            current.destination = Destination::ColourTable;
            colours_.clear();
            startColour();
            break;
        case Action::UnicodeDestination:
            current.destination = Destination::Text;
            break;
        case Action::FieldResult:
            break;
        case Action::NoteMark:
            emitNoteMark();
            break;
        case Action::NoteNumbering:
            ((word.value & kEndnotes) != 0 ? endnoteNumbering_ : footnoteNumbering_) =
                word.value & ~kEndnotes;
            break;
        case Action::Bold:
            current.style.bold = on;
            break;
        case Action::Italic:
            current.style.italic = on;
            break;
        case Action::Underline:
            current.style.underline = on;
            break;
        case Action::UnderlineNone:
            current.style.underline = false;
            break;
        case Action::Font:
            if (current.destination == Destination::FontTable)
                startFontEntry(parameter.value_or(0));
            else
                current.style.font = parameter.value_or(0);
            break;
        case Action::FontSize:
            current.style.halfPoints = std::clamp(parameter.value_or(24), 0, kMaxHalfPoints);
            break;
        case Action::Colour:
            current.style.colour = parameter.value_or(0);
            break;
        case Action::Plain:
            current.style = Style{};
            break;
        case Action::DefaultFont:
            defaultFont_ = parameter.value_or(0);
            break;
        case Action::CodePage:
            documentPage_ = static_cast<int>(word.value);
            break;
        case Action::CodePageParameter:
            documentPage_ = parameter.value_or(codepage::kWestern);
            break;
        case Action::FontCharset:
            fontCharset_ = parameter.value_or(0);
            break;
        case Action::Red:
            red_ = colourComponent(parameter);
            colourGiven_ = true;
            break;
        case Action::Green:
            green_ = colourComponent(parameter);
            colourGiven_ = true;
            break;
        case Action::Blue:
            blue_ = colourComponent(parameter);
            colourGiven_ = true;
            break;
        case Action::UnicodeSkip:
            current.unicodeSkip = std::max(parameter.value_or(1), 0);
            break;
        case Action::Unicode:
            if (parameter) {
                emitUnicode(*parameter);
                skipRemaining_ = current.unicodeSkip;
            }
            break;
        case Action::ParagraphEnd:
            endParagraph();
            break;
        case Action::ParagraphEndIfText:
            if (!pending_.empty() || !document_.paragraphs.back().runs.empty())
                endParagraph();
            break;
        case Action::Character:
            emit(word.value);
            break;
        }
    }

    // \uN is a signed 16-bit number: -4064 is U+F020. Writers also put code points above 32767
    // as they are, so both forms are accepted.
    // Writers put a Symbol-font character as the private-use U+F000 plus its byte.
    void emitUnicode(int value) {
        if (value < 0)
            value += 0x10000;
        if (value >= 0xF020 && value <= 0xF0FF && inSymbolFont())
            emit(codepage::fromSymbolFont(static_cast<unsigned char>(value - 0xF000)));
        else
            emit(value < 0 || value > 0x10FFFF ? utf8::kReplacement : static_cast<char32_t>(value));
    }

    // A byte of text in the current font's code page. The lead byte of a double-byte character
    // waits for its trail byte, which may come raw or as \'xx.
    void emitByte(unsigned char byte) {
        if (inSymbolFont()) {
            emit(byte < 0x20 ? byte : codepage::fromSymbolFont(byte));
            return;
        }
        const int page = codePage();
        if (openPage_ != 0 && openPage_ != page)
            finishCharacter();
        if (byte < 0x80 && openPage_ == 0) {
            emit(byte);
            return;
        }
        codepage::Decoder& decoder = decoderFor(page);
        decoded_.clear();
        decoder.feed(byte, decoded_);
        openPage_ = decoder.holdsBytes() ? page : 0;
        for (const char32_t character : decoded_)
            emit(character);
    }

    // A character whose first bytes came but whose last did not is lost: U+FFFD.
    void finishCharacter() {
        if (openPage_ == 0)
            return;
        decoded_.clear();
        decoderFor(openPage_).finish(decoded_);
        openPage_ = 0;
        for (const char32_t character : decoded_)
            emit(character);
    }

    codepage::Decoder& decoderFor(int page) {
        if (decoders_.size() >= kMaxDecoders && !decoders_.contains(page)) {
            finishCharacter();
            decoders_.clear();
        }
        return decoders_.try_emplace(page, page).first->second;
    }

    // \chftn stands for the number of the note whose group follows it, an endnote when that group
    // starts with \ftnalt. Footnotes and endnotes are counted apart, as writers number them.
    void emitNoteMark() {
        if (group().destination != Destination::Text)
            return;
        constexpr std::string_view kNote = "\\footnote";
        const std::string_view ahead = in_.substr(pos_, kNoteLookahead);
        const std::size_t note = ahead.find(kNote);
        const bool endnote =
            note != std::string_view::npos &&
            ahead.substr(note + kNote.size(), 16).find("\\ftnalt") != std::string_view::npos;
        const std::u32string number = endnote ? noteNumber(++endnotes_, endnoteNumbering_)
                                              : noteNumber(++footnotes_, footnoteNumbering_);
        for (const char32_t character : number)
            emit(character);
    }

    bool inSymbolFont() const {
        if (groups_.back().destination != Destination::Text)
            return false;
        const Font* current = font(groups_.back().style.font);
        return current != nullptr && current->symbol;
    }

    void emit(char32_t character) {
        // Control characters other than the tab, as bytes or as \uN, have nothing to show or play.
        if ((character < 0x20 && character != '\t') || character == 0x7F)
            return;
        switch (group().destination) {
        case Destination::Text:
            emitText(character);
            break;
        case Destination::FontTable:
            if (character == ';')
                commitFont();
            else
                utf8::append(fontName_, character);
            break;
        case Destination::ColourTable:
            if (character == ';')
                commitColour();
            break;
        case Destination::Skipped:
            break;
        }
    }

    // Characters above U+FFFF arrive as two \uN, one per UTF-16 half; a half without its partner
    // becomes U+FFFD.
    void emitText(char32_t character) {
        if (highSurrogate_ != 0 && !utf16::isLowSurrogate(character))
            dropHighSurrogate();
        if (utf16::isHighSurrogate(character)) {
            highSurrogate_ = character;
            return;
        }
        if (utf16::isLowSurrogate(character)) {
            character = highSurrogate_ == 0 ? utf8::kReplacement
                                            : utf16::combine(highSurrogate_, character);
            highSurrogate_ = 0;
        }
        matchPendingStyle();
        utf8::append(pending_, character);
    }

    void dropHighSurrogate() {
        if (highSurrogate_ == 0)
            return;
        highSurrogate_ = 0;
        utf8::append(pending_, utf8::kReplacement);
    }

    void matchPendingStyle() {
        if (group().style == pendingStyle_)
            return;
        flushPending();
        pendingStyle_ = group().style;
    }

    void flushPending() {
        document_.append(pending_, format(pendingStyle_));
        pending_.clear();
    }

    void endText() {
        dropHighSurrogate();
        flushPending();
    }

    void endParagraph() {
        if (group().destination != Destination::Text)
            return;
        endText();
        document_.startParagraph();
    }

    const Font* font(int number) const {
        const auto found = fonts_.find(number < 0 ? defaultFont_ : number);
        return found == fonts_.end() ? nullptr : &found->second;
    }

    // Font names decode under the charset of the font they name; text under its font's charset,
    // falling back to the document's code page.
    int codePage() const {
        int page = 0;
        if (groups_.back().destination == Destination::FontTable) {
            page = codepage::forCharset(fontCharset_);
        } else if (const Font* current = font(groups_.back().style.font)) {
            page = current->codePage;
        }
        return page != 0 ? page : documentPage_;
    }

    rich::CharFormat format(const Style& style) const {
        rich::CharFormat result;
        result.bold = style.bold;
        result.italic = style.italic;
        result.underline = style.underline;
        if (const Font* named = font(style.font))
            result.fontFamily = named->family;
        result.pointSize = style.halfPoints / 2.0;
        if (style.colour > 0 && static_cast<std::size_t>(style.colour) < colours_.size())
            result.colour = colours_[static_cast<std::size_t>(style.colour)];
        return result;
    }

    void startFontEntry(int number) {
        if (!fontName_.empty())
            commitFont();
        fontNumber_ = number;
        fontCharset_ = 0;
    }

    void commitFont() {
        const auto first = fontName_.find_first_not_of(' ');
        const auto last = fontName_.find_last_not_of(' ');
        const std::string family =
            first == std::string::npos ? std::string() : fontName_.substr(first, last - first + 1);
        fonts_[fontNumber_] = {family, codepage::forCharset(fontCharset_),
                               isSymbolFontName(family)};
        fontName_.clear();
    }

    void startColour() {
        red_ = green_ = blue_ = 0;
        colourGiven_ = false;
    }

    void commitColour() {
        colours_.push_back(colourGiven_ ? rich::Colour::rgb(red_, green_, blue_) : rich::Colour{});
        startColour();
    }

    std::string_view in_;
    std::size_t pos_ = 0;

    std::vector<Group> groups_; // groups_[0] stands for the bytes outside the document
    std::size_t extraDepth_ = 0;
    bool ended_ = false;

    int skipRemaining_ = 0; // fallback characters of the last \uN still to drop
    char32_t highSurrogate_ = 0;

    std::unordered_map<int, codepage::Decoder> decoders_;
    int openPage_ = 0; // the code page whose decoder holds the first bytes of a character
    std::u32string decoded_;

    int footnotes_ = 0;
    int endnotes_ = 0;
    char32_t footnoteNumbering_ = kArabic;
    char32_t endnoteNumbering_ = kLowerRoman;

    int documentPage_ = codepage::kWestern;
    int defaultFont_ = 0;
    std::unordered_map<int, Font> fonts_;
    int fontNumber_ = 0;
    int fontCharset_ = 0;
    std::string fontName_;

    std::vector<rich::Colour> colours_;
    std::uint8_t red_ = 0;
    std::uint8_t green_ = 0;
    std::uint8_t blue_ = 0;
    bool colourGiven_ = false;

    rich::RichDocument document_;
    std::string pending_;
    Style pendingStyle_;
};

} // namespace

rich::RichDocument read(std::string_view bytes) {
    return Reader(bytes).read();
}

} // namespace rtf
