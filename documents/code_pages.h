#pragma once

// The Windows code pages that 8-bit text in RTF documents and old plain-text files is written in.
namespace codepage {

inline constexpr int kWestern = 1252;

// The code page an RTF \fcharsetN selects, or 0 when the charset has no code page of its own
// (ANSI, default and symbol fonts): then the document's \ansicpg applies. Writers put \fcharset0
// on every font of Cyrillic or Greek documents too, so charset 0 must not force 1252.
int forCharset(int charset);

// The character that `byte` stands for in code page `page`. ASCII bytes are themselves. The Windows
// single-byte pages 874 and 1250 to 1258 are decoded exactly, bytes a page leaves undefined as
// U+FFFD: a visible mark tells the learner that a character was lost, where an invisible C1
// control would silently join or split words. The double-byte pages (932, 936, 949, 950, 1361)
// also give U+FFFD above 0x7F: their documents carry \uN for every such character, and the bytes
// only stand in for readers without Unicode. Any other page (Mac, DOS) reads as 1252, which
// agrees with it on ASCII and on most accented Latin letters.
char32_t toUnicode(int page, unsigned char byte);

// The byte that stands for `character` in code page 1252, or 0 when 1252 has no such character.
unsigned char toWestern(char32_t character);

} // namespace codepage
