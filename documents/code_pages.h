#pragma once

#include <array>
#include <string>
#include <string_view>

// The 8-bit and double-byte code pages that RTF documents and old plain-text files are written in,
// decoded by the C library's iconv, which knows every Windows, Mac, DOS and East Asian page.
namespace codepage {

inline constexpr int kWestern = 1252;
inline constexpr int kMacRoman = 10000;

// The code page an RTF \fcharsetN selects, or 0 when the charset has no code page of its own
// (ANSI, default and symbol fonts): then the document's \ansicpg applies. Writers put \fcharset0
// on every font of Cyrillic or Greek documents too, so charset 0 must not force 1252.
int forCharset(int charset);

// The iconv name of Windows code page `page` (1252, 932, 10000, 20866, 65001 ...).
std::string iconvName(int page);

// Turns bytes of one encoding into characters, one byte at a time as an RTF reader meets them or
// a whole text at once. A byte that starts a longer character (the lead byte of Shift-JIS, GBK,
// Big5, UHC ...) is held until the bytes that complete it arrive. Bytes the encoding leaves
// undefined, and a started character that is broken off, give U+FFFD: a visible mark tells the
// learner that a character was lost, where an invisible C1 control would silently join or split
// words.
class Decoder {
public:
    // Code page `page`; one iconv does not know reads as Windows-1252.
    explicit Decoder(int page);
    // An encoding by its iconv name ("KOI8-R", "SHIFT_JIS"); an unknown name reads as 1252.
    explicit Decoder(const std::string& name);
    ~Decoder();
    Decoder(Decoder&& other) noexcept;
    Decoder& operator=(Decoder&&) = delete;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Feeds one byte and appends the characters it completes to `out`: none while a character is
    // still open, two when a byte cannot continue the open one (U+FFFD, then the byte itself).
    void feed(unsigned char byte, std::u32string& out);
    // Ends an open character: appends U+FFFD when bytes were held.
    void finish(std::u32string& out);
    bool holdsBytes() const { return held_.size() > 0; }

    // The whole of `bytes` as UTF-8.
    std::string toUtf8(std::string_view bytes);

private:
    enum class Outcome { Character, Open, Invalid };
    // Converts one character's bytes, appending what they give.
    Outcome convert(std::string_view bytes, std::u32string& out);

    void* handle_;
    std::string held_;
    // What each byte gives when no character is open, worked out the first time it is seen.
    std::array<char32_t, 256> single_{};
};

// The byte that stands for `character` in code page 1252, or 0 when 1252 has no such character.
unsigned char toWestern(char32_t character);

// The character that `byte` shows in the Symbol font, which writers use for Greek letters,
// arrows, bullets and mathematical signs typed as Latin letters; U+FFFD where it shows none.
char32_t fromSymbolFont(unsigned char byte);

} // namespace codepage
