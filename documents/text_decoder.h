#pragma once

#include "documents/rich_document.h"

#include <cstdint>
#include <string>
#include <string_view>

// Turning a file of the library (RTF, a web page or plain text in any of the usual encodings)
// into text for the rich text box. The kind of file is decided by its content, not by its name:
// old libraries hold RTF documents named .txt. Only web pages are recognised by name (.htm,
// .html), because a web page is also valid plain text and only the box can render it.
namespace textfile {

// The largest file loaded. The longest practice texts (whole books) are a few MiB, as RTF with
// pictures perhaps ten; 32 MiB leaves room for those and still bounds what one careless click in
// the library costs: the file is held in memory up to four times over (bytes, decoded text, the
// box's document and its layout) and the window waits for all of it.
inline constexpr std::uintmax_t kMaxBytes = 32u * 1024 * 1024;

struct LoadResult {
    enum class Kind { Rich, Html, Plain };

    bool ok = false;
    std::string error; // why the file was refused, for a log; empty when ok
    Kind kind = Kind::Plain;
    rich::RichDocument document; // Kind::Rich
    std::string text;            // UTF-8. Kind::Html: the page; Kind::Plain: lines ended by '\n'
};

// Decodes the bytes of a file called `fileName` (only its extension matters):
// - "{\rtf" at the start (after a UTF-8 byte order mark, if any): an RTF document;
// - a byte order mark: UTF-8, UTF-16 LE or UTF-16 BE;
// - otherwise valid UTF-8 (plain ASCII included) is UTF-8; anything else is in the encoding the
//   detector finds (KOI8-R, ISO-8859-2, Shift-JIS, GB 18030 ...), and Windows-1252, the encoding
//   of most old texts, where it finds none;
// - refused: more than kMaxBytes, NUL bytes outside UTF-16, and OLE2 compound files such as
//   Word 97-2003 .doc documents, whose text cannot be told from their binary structure.
// Plain text line ends (CR LF, LF, CR) all become '\n'.
LoadResult decode(std::string_view bytes, std::string_view fileName);

// Reads and decodes the file at `path`. Missing files, folders, devices, unreadable and oversized
// files are refused with their reason. Never throws.
LoadResult load(const std::string& path);

} // namespace textfile
